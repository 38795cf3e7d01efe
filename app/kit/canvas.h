// The drawing surface handed to a grid's cell-painting handler: a font with
// colour, size and style, a brush colour, rectangle filling and text output.
// It draws through the QPainter of the paint in progress; outside a paint it
// draws nothing.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include "app/kit/colors.h"

class QPainter;

enum TFontStyle : unsigned { fsBold = 1u, fsItalic = 2u, fsUnderline = 4u, fsStrikeOut = 8u };
using TFontStyles = unsigned;

class TFont {
 public:
  void assign(const QFont& font, const QColor& color);

  QColor color() const { return color_; }
  void setColor(const QColor& color) { color_ = color; }
  void setColor(TColor color) { color_ = ToQColor(color); }

  // Size in points, at 96 dots per inch like the rest of the pixel-exact
  // layout: 13 points are 17 pixels.
  int size() const;
  void setSize(int points);
  // Character height in pixels.
  int height() const { return font_.pixelSize(); }
  void setHeight(int pixels) { font_.setPixelSize(pixels); }

  TFontStyles style() const;
  void setStyle(TFontStyles style);

  const QFont& qfont() const { return font_; }

 private:
  QFont font_;
  QColor color_;
};

class TBrush {
 public:
  QColor color() const { return color_; }
  void setColor(const QColor& color) { color_ = color; }
  void setColor(TColor color) { color_ = ToQColor(color); }

 private:
  QColor color_;
};

class TCanvas {
 public:
  TFont font;
  TBrush brush;

  // Attaches to the painter of a paint in progress; nullptr detaches.
  void setPainter(QPainter* painter) { painter_ = painter; }
  bool painting() const { return painter_ != nullptr; }

  // Fills the rectangle with the brush colour.
  void fillRect(const QRect& rect);
  // Text in the font colour with its top-left corner at (x, y), not clipped.
  void textOut(int x, int y, const QString& text);
  // Fills rect with the brush colour and draws the text with its top-left
  // corner at (x, y), clipped to rect.
  void textRect(const QRect& rect, int x, int y, const QString& text);

 private:
  QPainter* painter_ = nullptr;
};

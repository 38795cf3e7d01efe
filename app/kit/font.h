// A font as the stored layout and the painting handler describe it: a
// family name, a character height in pixels, a style, a colour, a pitch and
// a character set. A plain value: the backend turns it into the system's
// font when it draws or shows text with it.
#pragma once

#include <string>

#include "app/kit/colors.h"

enum TFontStyle : unsigned { fsBold = 1u, fsItalic = 2u, fsUnderline = 4u, fsStrikeOut = 8u };
using TFontStyles = unsigned;

enum class TFontPitch { fpDefault, fpFixed, fpVariable };

// The character sets the layout names; the window's texts are Russian.
// Windows' own headers define both as macros with the same values.
#ifndef DEFAULT_CHARSET
inline constexpr int DEFAULT_CHARSET = 1;
#endif
#ifndef RUSSIAN_CHARSET
inline constexpr int RUSSIAN_CHARSET = 204;
#endif

class TFont {
 public:
  TFont() = default;
  TFont(std::string name, int height, TFontStyles style = 0, TColor color = clWindowText)
      : name_(std::move(name)), height_(height), style_(style), color_(color) {}

  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }

  // Character height in layout pixels (the layout's own unit).
  int height() const { return height_; }
  void setHeight(int pixels) { height_ = pixels; }
  // Size in points at 96 dots per inch: 13 points are 17 pixels, rounded
  // down as a height computed from points always was.
  int size() const { return (height_ * 72 + 48) / 96; }
  void setSize(int points) { height_ = points * 96 / 72; }

  TFontStyles style() const { return style_; }
  void setStyle(TFontStyles style) { style_ = style; }
  bool bold() const { return (style_ & fsBold) != 0; }
  bool italic() const { return (style_ & fsItalic) != 0; }

  TColor color() const { return color_; }
  void setColor(TColor color) { color_ = color; }

  TFontPitch pitch() const { return pitch_; }
  void setPitch(TFontPitch pitch) { pitch_ = pitch; }

  int charset() const { return charset_; }
  void setCharset(int charset) { charset_ = charset; }

  friend bool operator==(const TFont&, const TFont&) = default;

 private:
  std::string name_ = "Arial";
  int height_ = 11;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  TFontPitch pitch_ = TFontPitch::fpDefault;
  int charset_ = RUSSIAN_CHARSET;
};

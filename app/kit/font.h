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

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // Character height in layout pixels (the layout's own unit).
  int Height() const { return height_; }
  void SetHeight(int pixels) { height_ = pixels; }
  // Size in points at 96 dots per inch: 13 points are 17 pixels, rounded
  // down as a height computed from points always was.
  int Size() const { return (height_ * 72 + 48) / 96; }
  void SetSize(int points) { height_ = points * 96 / 72; }

  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style) { style_ = style; }
  bool Bold() const { return (style_ & fsBold) != 0; }
  bool Italic() const { return (style_ & fsItalic) != 0; }

  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }

  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch) { pitch_ = pitch; }

  int Charset() const { return charset_; }
  void SetCharset(int charset) { charset_ = charset; }

  friend bool operator==(const TFont&, const TFont&) = default;

 private:
  std::string name_ = "Arial";
  int height_ = 11;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  TFontPitch pitch_ = TFontPitch::fpDefault;
  int charset_ = RUSSIAN_CHARSET;
};

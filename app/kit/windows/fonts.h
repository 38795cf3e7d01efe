// The kit's fonts as GDI fonts: the layout's family names mapped to those
// Windows has, heights in device pixels of the window's resolution.
#pragma once

#include "app/kit/font.h"
#include "app/kit/windows/native.h"

namespace kit::win {

// The face Windows draws a layout family with: "Courier", a bitmap font
// without Cyrillic on Windows, becomes Courier New.
std::wstring FaceName(const std::string& family);

LOGFONTW LogicalFont(const TFont& font, int dpi);

// An owned GDI font, freed with the object.
class GdiFont {
 public:
  GdiFont() = default;
  GdiFont(const TFont& font, int dpi) : handle_(::CreateFontIndirectW(&Logical(font, dpi))) {}
  ~GdiFont() { reset(); }
  GdiFont(GdiFont&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  GdiFont& operator=(GdiFont&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;

  HFONT get() const { return handle_; }

 private:
  static const LOGFONTW& Logical(const TFont& font, int dpi) {
    thread_local LOGFONTW logical;
    logical = LogicalFont(font, dpi);
    return logical;
  }
  void reset() {
    if (handle_ != nullptr) ::DeleteObject(handle_);
    handle_ = nullptr;
  }
  HFONT handle_ = nullptr;
};

// The size of a text's lines in a font, in device pixels: the widest line,
// and the height of all of them. Measured on `dc` when given (its own
// font is restored), else on a context of the screen.
SIZE TextExtent(HFONT font, std::wstring_view text, HDC dc = nullptr);

// Draws one line with the glyph advances the text's extent is measured
// with, so that the text covers exactly its measured width (Wine's own
// drawing of a line may come out a few pixels narrower than its extent).
// The font is the one selected into `dc`.
void DrawLine(HDC dc, int x, int y, std::wstring_view text, const RECT* clip);

}  // namespace kit::win

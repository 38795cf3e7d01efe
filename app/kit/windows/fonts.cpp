#include "app/kit/windows/fonts.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "app/kit/backend.h"

namespace kit::win {

std::wstring FaceName(const std::string& family) {
  std::wstring face = Wide(family);
  std::wstring lower = face;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return std::towlower(c); });
  if (lower == L"courier") return L"Courier New";
  return face;
}

LOGFONTW LogicalFont(const TFont& font, int dpi) {
  LOGFONTW logical{};
  // Negative: the character height, without the internal leading.
  logical.lfHeight = -ToDevice(font.Height(), dpi);
  logical.lfWeight = font.Bold() ? FW_BOLD : FW_NORMAL;
  logical.lfItalic = font.Italic() ? TRUE : FALSE;
  logical.lfUnderline = (font.Style() & fsUnderline) != 0 ? TRUE : FALSE;
  logical.lfStrikeOut = (font.Style() & fsStrikeOut) != 0 ? TRUE : FALSE;
  logical.lfCharSet = static_cast<BYTE>(font.Charset());
  logical.lfOutPrecision = OUT_DEFAULT_PRECIS;
  logical.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  logical.lfQuality = DEFAULT_QUALITY;
  switch (font.Pitch()) {
    case TFontPitch::fpFixed: logical.lfPitchAndFamily = FIXED_PITCH | FF_MODERN; break;
    case TFontPitch::fpVariable: logical.lfPitchAndFamily = VARIABLE_PITCH; break;
    case TFontPitch::fpDefault: logical.lfPitchAndFamily = DEFAULT_PITCH; break;
  }
  const std::wstring face = FaceName(font.Name());
  face.copy(logical.lfFaceName, LF_FACESIZE - 1);
  return logical;
}

SIZE TextExtent(HFONT font, std::wstring_view text, HDC on) {
  HDC dc = on != nullptr ? on : ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  SIZE extent{0, 0};
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(text.find(L'\n', start), text.size());
    std::wstring_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    SIZE size{0, metrics.tmHeight};
    if (!line.empty()) ::GetTextExtentPoint32W(dc, line.data(), static_cast<int>(line.size()), &size);
    extent.cx = std::max(extent.cx, size.cx);
    extent.cy += metrics.tmHeight;
    if (end == text.size()) break;
    start = end + 1;
  }
  ::SelectObject(dc, old);
  if (on == nullptr) ::DeleteDC(dc);
  return extent;
}

void DrawLine(HDC dc, int x, int y, std::wstring_view text, const RECT* clip) {
  const int length = static_cast<int>(text.size());
  std::vector<int> ends(text.size());
  std::vector<int> advances(text.size());
  SIZE size{};
  if (length > 0 && ::GetTextExtentExPointW(dc, text.data(), length, 0, nullptr, ends.data(), &size)) {
    for (int i = 0; i < length; ++i) advances[i] = ends[i] - (i > 0 ? ends[i - 1] : 0);
  }
  ::ExtTextOutW(dc, x, y, clip != nullptr ? ETO_CLIPPED : 0, clip, text.data(), static_cast<UINT>(length),
                length > 0 ? advances.data() : nullptr);
}

}  // namespace kit::win

std::string kit::ResolvedFontFamily(const TFont& font) {
  const win::GdiFont gdi(font, win::kLayoutDpi);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, gdi.get());
  wchar_t face[LF_FACESIZE] = {};
  const int length = ::GetTextFaceW(dc, LF_FACESIZE, face);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return length > 0 ? win::Narrow(face) : std::string();
}

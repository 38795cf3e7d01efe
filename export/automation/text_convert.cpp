#include "export/automation/text_convert.h"

#include <cstdint>
#include <new>

namespace automation {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(OleString& out, char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<OLECHAR>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<OLECHAR>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<OLECHAR>(cp));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

OleString ToOleString(std::string_view utf8) {
  OleString out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    auto const lead = static_cast<unsigned char>(utf8[i]);
    int extra;
    char32_t cp;
    char32_t min;
    if (lead < 0x80) {
      out.push_back(static_cast<OLECHAR>(lead));
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, cp = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, cp = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, cp = lead & 0x07, min = 0x10000;
    } else {
      out.push_back(static_cast<OLECHAR>(kReplacement));
      ++i;
      continue;
    }
    bool ok = i + static_cast<std::size_t>(extra) < utf8.size();
    for (int k = 1; ok && k <= extra; ++k) {
      auto const next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) {
        ok = false;
      } else {
        cp = (cp << 6) | (next & 0x3F);
      }
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(static_cast<OLECHAR>(kReplacement));
      ++i;
      continue;
    }
    AppendUtf16(out, cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

std::string FromOleString(const OLECHAR* text, std::size_t length) {
  std::string out;
  if (text == nullptr) return out;
  out.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    auto const unit = static_cast<char32_t>(static_cast<std::uint16_t>(text[i]));
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length) {
      auto const low = static_cast<char32_t>(static_cast<std::uint16_t>(text[i + 1]));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
  }
  return out;
}

std::string FromBstr(BSTR text) { return FromOleString(text, SysStringLen(text)); }

BSTR AllocBstr(std::string_view utf8) {
  OleString const wide = ToOleString(utf8);
  BSTR const result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

}  // namespace automation

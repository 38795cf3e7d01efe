// UTF-8 and UTF-16: the program's texts are UTF-8, while device strings,
// automation calls and the .xls format carry UTF-16 code units.
//
// Two ways to decode, for two kinds of caller: Utf8ToUtf16Strict refuses
// text that is not well-formed (the workbook model rejects it), Utf8ToUtf16
// replaces each ill-formed part with U+FFFD (texts from a device or a
// caller must never turn into other, valid text, nor be dropped).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace base {

inline constexpr char16_t kReplacementCharacter = 0xFFFD;

namespace utf_detail {

// Decodes the sequence at text[i]. On success returns the code point and
// sets `length`; on failure returns nothing and sets `length` to the bytes
// that make up the ill-formed part: the lead byte and the continuation bytes
// that follow it, at most as many as the lead byte announces.
inline std::optional<char32_t> DecodeOne(std::string_view text, std::size_t i, std::size_t& length) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t expected = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    length = 1;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    expected = 2, code = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    expected = 3, code = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    expected = 4, code = lead & 0x07, minimum = 0x10000;
  } else {
    length = 1;
    return std::nullopt;
  }
  std::size_t taken = 1;
  while (taken < expected && i + taken < text.size() && (static_cast<unsigned char>(text[i + taken]) & 0xC0) == 0x80) {
    code = (code << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3F);
    ++taken;
  }
  length = taken;
  if (taken < expected || code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return std::nullopt;
  }
  return code;
}

inline void AppendUtf16(std::u16string& out, char32_t code) {
  if (code >= 0x10000) {
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(code));
  }
}

inline void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

}  // namespace utf_detail

// Well-formed UTF-8 only: nothing for stray continuation bytes, overlong
// forms, surrogates, code points past U+10FFFF or a cut-off sequence.
inline std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
    const auto code = utf_detail::DecodeOne(text, i, length);
    if (!code) return std::nullopt;
    utf_detail::AppendUtf16(out, *code);
  }
  return out;
}

// Each ill-formed part becomes one U+FFFD.
inline std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
    const auto code = utf_detail::DecodeOne(text, i, length);
    utf_detail::AppendUtf16(out, code.value_or(kReplacementCharacter));
  }
  return out;
}

// UTF-16 code units to UTF-8; an unpaired surrogate becomes U+FFFD.
inline std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()) {
      const char32_t low = text[i + 1];
      if (low >= 0xDC00 && low <= 0xDFFF) {
        utf_detail::AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    utf_detail::AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? char32_t{kReplacementCharacter} : unit);
  }
  return out;
}

}  // namespace base

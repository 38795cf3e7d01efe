#include "export/automation/text_convert.h"

#include <new>

#include "base/utf.h"

namespace automation {

// OLECHAR is char16_t here and wchar_t on Windows; both hold UTF-16 code units.
OleString ToOleString(std::string_view utf8) {
  const std::u16string wide = base::Utf8ToUtf16(utf8);
  return OleString(wide.begin(), wide.end());
}

std::string FromOleString(const OLECHAR* text, std::size_t length) {
  if (text == nullptr) return {};
  return base::Utf16ToUtf8(std::u16string(text, text + length));
}

std::string FromBstr(BSTR text) { return FromOleString(text, SysStringLen(text)); }

BSTR AllocBstr(std::string_view utf8) {
  OleString const wide = ToOleString(utf8);
  BSTR const result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

}  // namespace automation

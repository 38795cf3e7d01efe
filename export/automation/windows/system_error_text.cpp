// The system's message table, as the error box of any Windows program shows it.
#include "export/automation/exceptions.h"
#include "export/automation/system_error_text.h"
#include "export/automation/text_convert.h"

namespace automation {

std::string SystemErrorText(HRESULT code) {
  // The wide variant, because the program's texts are UTF-8 and not the
  // ANSI code page the narrow one would answer in.
  wchar_t* buffer = nullptr;
  DWORD const length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  if (length == 0 || buffer == nullptr) return {};
  std::string text = FromOleString(buffer, length);
  LocalFree(buffer);
  return TrimPunctuation(std::move(text));
}

}  // namespace automation

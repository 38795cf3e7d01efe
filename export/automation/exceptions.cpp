#include "export/automation/exceptions.h"

#include <cstdio>
#include <utility>

#include "export/automation/system_error_text.h"

namespace automation {
namespace {

std::string MessageForCode(const std::string& message, HRESULT code) {
  if (!message.empty()) return message;
  std::string text = SystemErrorText(code);
  if (text.empty()) text = OleErrorFallbackText(code);
  return text;
}

// The names of the kinds a conversion can refuse; any other is "Unknown".
const char* VariantTypeName(VARTYPE vt) {
  switch (vt) {
    case VT_NULL: return "Null";
    case VT_BSTR: return "OleStr";
    case VT_DISPATCH: return "Dispatch";
    case VT_ERROR: return "Error";
    default: return "Unknown";
  }
}

}  // namespace

std::string TrimPunctuation(std::string text) {
  while (!text.empty()) {
    auto const last = static_cast<unsigned char>(text.back());
    if (last > ' ' && last != '.') break;
    text.pop_back();
  }
  return text;
}

std::string OleErrorFallbackText(HRESULT code) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "OLE error %.8X", static_cast<unsigned>(code));
  return buffer;
}

EOleSysError::EOleSysError(const std::string& message, HRESULT errorCode)
    : EOleError(MessageForCode(message, errorCode)), errorCode_(errorCode) {}

EOleException::EOleException(const std::string& description, HRESULT errorCode, std::string source,
                             std::string helpFile, DWORD helpContext)
    : EOleSysError(TrimPunctuation(description), errorCode),
      source_(std::move(source)),
      helpFile_(std::move(helpFile)),
      helpContext_(helpContext) {}

EVariantTypeCastError::EVariantTypeCastError(VARTYPE from, const char* toTypeName)
    : EVariantError(std::string("Could not convert variant of type (") + VariantTypeName(from) + ") into type (" +
                    toTypeName + ")") {}

}  // namespace automation

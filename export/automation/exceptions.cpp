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

const char* VariantTypeName(VARTYPE vt) {
  switch (vt & VT_TYPEMASK) {
    case VT_EMPTY: return "Empty";
    case VT_NULL: return "Null";
    case VT_I2: return "Smallint";
    case VT_I4: return "Integer";
    case VT_R4: return "Single";
    case VT_R8: return "Double";
    case VT_DATE: return "Date";
    case VT_BSTR: return "OleStr";
    case VT_DISPATCH: return "Dispatch";
    case VT_ERROR: return "Error";
    case VT_BOOL: return "Boolean";
    case VT_VARIANT: return "Variant";
    case VT_UNKNOWN: return "Unknown";
    case VT_I1: return "ShortInt";
    case VT_UI1: return "Byte";
    case VT_UI2: return "Word";
    case VT_UI4: return "LongWord";
    case VT_I8: return "Int64";
    case VT_UI8: return "UInt64";
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

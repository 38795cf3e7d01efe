// The errors the automation layer raises.
//
// Every one derives from Exception (and so from std::exception): the window's
// standard error box shows message() of whatever reaches it.
#pragma once

#include <stdexcept>
#include <string>

#include "export/automation/com_types.h"

namespace automation {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A failure of the automation layer itself (no usable target, too many
// arguments, an unknown member).
class EOleError : public Exception {
 public:
  using Exception::Exception;
};

// A failing COM result. Without a message of its own it takes the system's
// text for the code, or "OLE error XXXXXXXX" when the system has none.
class EOleSysError : public EOleError {
 public:
  EOleSysError(const std::string& message, HRESULT errorCode);
  HRESULT ErrorCode() const { return errorCode_; }

 private:
  HRESULT errorCode_;
};

// An error the automation server reported through its exception record. The
// server's description loses trailing blanks, control characters and full
// stops, so the error box can punctuate it itself.
class EOleException : public EOleSysError {
 public:
  EOleException(const std::string& description, HRESULT errorCode, std::string source, std::string helpFile,
                DWORD helpContext);
  const std::string& Source() const { return source_; }
  const std::string& HelpFile() const { return helpFile_; }
  DWORD HelpContext() const { return helpContext_; }

 private:
  std::string source_;
  std::string helpFile_;
  DWORD helpContext_;
};

class EVariantError : public Exception {
 public:
  using Exception::Exception;
};

// An operation the variant's type does not allow (a call on an empty variant).
class EVariantInvalidOpError : public EVariantError {
 public:
  EVariantInvalidOpError() : EVariantError("Invalid variant operation") {}
};

// A variant that cannot be converted to the type asked for.
class EVariantTypeCastError : public EVariantError {
 public:
  EVariantTypeCastError(VARTYPE from, const char* toTypeName);
};

// `text` without its trailing run of blanks, control characters and full stops.
std::string TrimPunctuation(std::string text);

// "OLE error XXXXXXXX": the code as eight hexadecimal digits.
std::string OleErrorFallbackText(HRESULT code);

}  // namespace automation

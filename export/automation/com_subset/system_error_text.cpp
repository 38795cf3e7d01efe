// There is no system message table here, so the program keeps the texts of
// the codes that its own COM subset, class registry and built-in spreadsheet
// application answer.
#include "export/automation/system_error_text.h"

namespace automation {
namespace {

struct KnownCode {
  HRESULT code;
  const char* text;
};

constexpr KnownCode kKnownCodes[] = {
    {E_NOINTERFACE, "No such interface supported"},
    {E_POINTER, "Invalid pointer"},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_OUTOFMEMORY, "Not enough storage is available to complete this operation"},
    {E_INVALIDARG, "The parameter is incorrect"},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation (or class object is remote)"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    {CO_E_NOTINITIALIZED, "CoInitialize has not been called"},
    {CO_E_CLASSSTRING, "Invalid class string"},
    {RPC_E_CALL_REJECTED, "Call was rejected by callee"},
    {RPC_E_SERVERCALL_RETRYLATER, "The message filter indicated that the application is busy"},
    {RPC_E_DISCONNECTED, "The object invoked has disconnected from its clients"},
    {DISP_E_UNKNOWNINTERFACE, "Unknown interface"},
    {DISP_E_MEMBERNOTFOUND, "Member not found"},
    {DISP_E_TYPEMISMATCH, "Type mismatch"},
    {DISP_E_NONAMEDARGS, "No named arguments"},
    {DISP_E_BADVARTYPE, "Bad variable type"},
    {DISP_E_EXCEPTION, "Exception occurred"},
    {DISP_E_BADPARAMCOUNT, "Invalid number of parameters"},
    {DISP_E_PARAMNOTOPTIONAL, "Parameter not optional"},
};

}  // namespace

std::string SystemErrorText(HRESULT code) {
  for (const KnownCode& known : kKnownCodes) {
    if (known.code == code) return known.text;
  }
  return {};
}

}  // namespace automation

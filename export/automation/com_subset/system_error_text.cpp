// There is no system message table here, so the texts of the codes that COM
// and automation calls commonly return are kept in the program.
#include "export/automation/system_error_text.h"

namespace automation {
namespace {

struct KnownCode {
  HRESULT code;
  const char* text;
};

constexpr KnownCode kKnownCodes[] = {
    {E_NOTIMPL, "Not implemented"},
    {E_NOINTERFACE, "No such interface supported"},
    {E_POINTER, "Invalid pointer"},
    {E_ABORT, "Operation aborted"},
    {E_FAIL, "Unspecified error"},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_ACCESSDENIED, "Access is denied"},
    {E_HANDLE, "The handle is invalid"},
    {E_OUTOFMEMORY, "Not enough storage is available to complete this operation"},
    {E_INVALIDARG, "The parameter is incorrect"},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation (or class object is remote)"},
    {CLASS_E_CLASSNOTAVAILABLE, "ClassFactory cannot supply requested class"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    {CO_E_NOTINITIALIZED, "CoInitialize has not been called"},
    {CO_E_CLASSSTRING, "Invalid class string"},
    {CO_E_SERVER_EXEC_FAILURE, "Server execution failed"},
    {RPC_E_CALL_REJECTED, "Call was rejected by callee"},
    {RPC_E_SERVERFAULT, "The server threw an exception"},
    {RPC_E_CHANGED_MODE, "Cannot change thread mode after it is set"},
    {RPC_E_DISCONNECTED, "The object invoked has disconnected from its clients"},
    {RPC_S_SERVER_UNAVAILABLE, "The RPC server is unavailable"},
    {DISP_E_UNKNOWNINTERFACE, "Unknown interface"},
    {DISP_E_MEMBERNOTFOUND, "Member not found"},
    {DISP_E_PARAMNOTFOUND, "Parameter not found"},
    {DISP_E_TYPEMISMATCH, "Type mismatch"},
    {DISP_E_UNKNOWNNAME, "Unknown name"},
    {DISP_E_NONAMEDARGS, "No named arguments"},
    {DISP_E_BADVARTYPE, "Bad variable type"},
    {DISP_E_EXCEPTION, "Exception occurred"},
    {DISP_E_OVERFLOW, "Out of present range"},
    {DISP_E_BADINDEX, "Invalid index"},
    {DISP_E_UNKNOWNLCID, "Unknown language"},
    {DISP_E_ARRAYISLOCKED, "Memory is locked"},
    {DISP_E_BADPARAMCOUNT, "Invalid number of parameters"},
    {DISP_E_PARAMNOTOPTIONAL, "Parameter not optional"},
    {DISP_E_NOTACOLLECTION, "Does not support a collection"},
};

}  // namespace

std::string SystemErrorText(HRESULT code) {
  for (const KnownCode& known : kKnownCodes) {
    if (known.code == code) return known.text;
  }
  return {};
}

}  // namespace automation

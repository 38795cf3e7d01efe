#include "export/automation/dispatch_call.h"

#include <string>
#include <vector>

#include "export/automation/busy_retry.h"
#include "export/automation/exceptions.h"
#include "export/automation/text_convert.h"

namespace automation {
namespace {

const char kNotAnAutomationObject[] = "Variant does not reference an automation object";

// The IDispatch `target` holds, or the error a call on it raises.
IDispatch* DispatchOf(const VARIANT& target) {
  const VARIANT* v = &target;
  if (v->vt == (VT_BYREF | VT_VARIANT)) {
    v = v->pvarVal;
    if (v == nullptr) throw EVariantInvalidOpError();
  }
  IDispatch* dispatch = nullptr;
  switch (v->vt) {
    case VT_DISPATCH: dispatch = v->pdispVal; break;
    case VT_DISPATCH | VT_BYREF: dispatch = v->ppdispVal != nullptr ? *v->ppdispVal : nullptr; break;
    case VT_UNKNOWN:
    case VT_UNKNOWN | VT_BYREF: throw EOleError(kNotAnAutomationObject);
    default: throw EVariantInvalidOpError();
  }
  // A null object cannot be called; say so instead of calling through it.
  if (dispatch == nullptr) throw EOleError(kNotAnAutomationObject);
  return dispatch;
}

// The argument array of one call; frees the strings it made however the
// call ends.
class ArgumentBlock {
 public:
  explicit ArgumentBlock(std::span<const Arg> args) : variants_(args.size()) {
    for (VARIANT& v : variants_) VariantInit(&v);
    // DISPPARAMS holds the arguments last first.
    std::size_t slot = args.size();
    for (const Arg& arg : args) Fill(variants_[--slot], arg);
  }
  ~ArgumentBlock() {
    for (VARIANT& v : variants_) VariantClear(&v);
  }
  ArgumentBlock(const ArgumentBlock&) = delete;
  ArgumentBlock& operator=(const ArgumentBlock&) = delete;

  VARIANT* data() { return variants_.empty() ? nullptr : variants_.data(); }
  UINT Size() const { return static_cast<UINT>(variants_.size()); }

 private:
  static void Fill(VARIANT& v, const Arg& arg) {
    switch (arg.KindOf()) {
      case Arg::Kind::Text:
        v.bstrVal = AllocBstr(arg.Text());
        v.vt = VT_BSTR;
        break;
      case Arg::Kind::Int32:
        v.vt = VT_I4;
        v.lVal = arg.Int32();
        break;
      case Arg::Kind::Int16:
        v.vt = VT_I2;
        v.iVal = arg.Int16();
        break;
      case Arg::Kind::Bool:
        v.vt = VT_BOOL;
        v.boolVal = arg.Boolean() ? VARIANT_TRUE : VARIANT_FALSE;
        break;
      case Arg::Kind::Double:
        v.vt = VT_R8;
        v.dblVal = arg.Number();
        break;
      case Arg::Kind::Omitted:
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = &OmittedMarker();
        break;
    }
  }

  std::vector<VARIANT> variants_;
};

// The strings of an exception record belong to the caller once Invoke
// returns; this frees them on every path.
struct ExceptionRecord {
  EXCEPINFO info{};
  ~ExceptionRecord() { Clear(); }
  void Clear() {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    info = EXCEPINFO{};
  }
};

// Holds a reference on the object for the length of the call, so that the
// object survives even if the variant that held it is cleared meanwhile.
class CallReference {
 public:
  explicit CallReference(IDispatch* dispatch) : dispatch_(dispatch) { dispatch_->AddRef(); }
  ~CallReference() { dispatch_->Release(); }
  CallReference(const CallReference&) = delete;
  CallReference& operator=(const CallReference&) = delete;

 private:
  IDispatch* dispatch_;
};

[[noreturn]] void RaiseInvokeError(HRESULT status, ExceptionRecord& record) {
  if (status != DISP_E_EXCEPTION) throw EOleSysError(std::string(), status);
  EXCEPINFO& info = record.info;
  if (info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
  // A record that carries only the server's own wCode has no COM result;
  // the error then keeps the code the call returned.
  HRESULT const code = info.scode != 0 ? info.scode : status;
  throw EOleException(FromBstr(info.bstrDescription), code, FromBstr(info.bstrSource), FromBstr(info.bstrHelpFile),
                      info.dwHelpContext);
}

// The invocation flags of a call.
WORD InvokeFlags(CallKind kind, std::size_t argumentCount, bool resultUsed) {
  switch (kind) {
    case CallKind::PropertyGet: return DISPATCH_PROPERTYGET;
    case CallKind::PropertyPut: return DISPATCH_PROPERTYPUT;
    case CallKind::Method: break;
  }
  if (argumentCount == 0 && resultUsed) return DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  return DISPATCH_METHOD;
}

}  // namespace

void InvokeMember(const VARIANT& target, std::string_view name, CallKind kind, std::span<const Arg> args,
                  VARIANT* result) {
  IDispatch* const dispatch = DispatchOf(target);
  if (args.size() > kMaxCallArguments) {
    throw EOleError("Dispatch methods do not support more than 64 parameters");
  }
  CallReference const hold(dispatch);

  OleString wideName = ToOleString(name);
  LPOLESTR namePointer = wideName.data();
  DISPID dispid = DISPID_UNKNOWN;
  // A server too busy to answer has done nothing: both steps are asked again.
  HRESULT const found =
      RetryWhileBusy([&] { return dispatch->GetIDsOfNames(kNullIid, &namePointer, 1, GetThreadLocale(), &dispid); });
  if (found == DISP_E_UNKNOWNNAME) {
    throw EOleError("Method '" + std::string(name) + "' not supported by automation object");
  }
  if (FAILED(found)) throw EOleSysError(std::string(), found);

  ArgumentBlock arguments(args);
  DISPID namedPut = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = arguments.data();
  params.cArgs = arguments.Size();
  if (kind == CallKind::PropertyPut && !args.empty()) {
    params.rgdispidNamedArgs = &namedPut;
    params.cNamedArgs = 1;
  }

  ExceptionRecord record;
  HRESULT const status = RetryWhileBusy([&] {
    if (result != nullptr) VariantClear(result);
    record.Clear();
    UINT argumentError = 0;
    return dispatch->Invoke(dispid, kNullIid, 0, InvokeFlags(kind, args.size(), result != nullptr), &params, result,
                            &record.info, &argumentError);
  });
  if (FAILED(status)) RaiseInvokeError(status, record);
}

}  // namespace automation

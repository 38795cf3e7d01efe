// The IDispatch side shared by every object of the built-in spreadsheet
// application: reference counting, name resolution from a fixed member
// table (ASCII case ignored), checking how a member was invoked, and turning
// the outcome of a call into the answer automation clients expect:
//
//   - an unknown name:                   DISP_E_UNKNOWNNAME
//   - a member invoked the wrong way:    DISP_E_MEMBERNOTFOUND
//   - a wrong number of arguments:       DISP_E_BADPARAMCOUNT
//   - an argument of the wrong kind:     DISP_E_TYPEMISMATCH (puArgErr set)
//   - a request the application refuses (a bad address, a value out of
//     range, a failed save):             DISP_E_EXCEPTION, with the Russian
//                                        description in the exception record
//   - any call after "Quit":             RPC_E_DISCONNECTED
//
// No C++ exception ever leaves Invoke.
#pragma once

#include <atomic>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

#include "export/automation/com_types.h"
#include "export/sheetapp/call_request.h"
#include "export/sheetapp/com_ref.h"
#include "export/sheetapp/instance_state.h"

namespace sheetapp {

// The result code the exception record of a refused request carries: the
// application-defined error (1004) in the automation error range.
inline constexpr SCODE kApplicationErrorCode = static_cast<SCODE>(0x800A03ECu);
// The source the exception record names.
inline constexpr char kErrorSource[] = "Lumetra";

// A request the application refuses, with a description for the user.
class ApplicationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class MemberKind {
  Method,      // invoked as a method; never written
  ReadOnly,    // read, as a property or as a method (late-bound callers do both); never written
  RangeValue,  // read like ReadOnly, answering a range; written, it sets that range's Value
  WriteOnly,   // written, without arguments; never read
};

struct Member {
  const char* name;
  DISPID id;
  MemberKind kind;
};

// The result of one member call.
class Answer {
 public:
  Answer() { VariantInit(&value_); }
  ~Answer() { VariantClear(&value_); }
  Answer(const Answer&) = delete;
  Answer& operator=(const Answer&) = delete;

  template <class T>
  void Object(ComRef<T> object) {
    VariantClear(&value_);
    value_.vt = VT_DISPATCH;
    value_.pdispVal = object.Detach();
  }
  void Text(const std::string& utf8);

  // Hands the result to the caller, or drops it when none was asked for.
  void Deliver(VARIANT* out);

 private:
  VARIANT value_;
};

class DispatchObject : public IDispatch {
 public:
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                          DISPID* rgDispId) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

  // The instance this object belongs to; objects obtained from it share it.
  const std::shared_ptr<InstanceState>& SharedInstance() const { return instance_; }

 protected:
  // `members` must outlive the object (a static table).
  DispatchObject(std::shared_ptr<InstanceState> instance, std::span<const Member> members);
  virtual ~DispatchObject();

  // Carries out `member`, already checked against how it was invoked.
  // Refusals raise Fault, ApplicationError or spreadsheet::SpreadsheetError.
  virtual void Perform(const Member& member, const Request& request, Answer& answer) = 0;

  InstanceState& Instance() const { return *instance_; }

 private:
  std::shared_ptr<InstanceState> instance_;
  std::span<const Member> members_;
  std::atomic<ULONG> refs_{1};
};

// Objects of the built-in application alive in this process.
long LiveObjectCount();

}  // namespace sheetapp

// A fake automation server for tests.
//
// It stands in for the spreadsheet application (or any other server): it is
// registered under programmatic identifiers, created through
// CoCreateInstance, and answers every member call by recording it exactly as
// it arrived (member, DISPID, flags, arguments with their variant types,
// named arguments, whether a result was asked for). By default every name
// is known and every call whose result is wanted answers a new child object,
// so any chain of calls works; members can be told to answer a value, to be
// unknown, to fail with a result code, or to raise an exception record.
// Every object it hands out is counted, so tests can check that all
// temporaries were released.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "export/automation/class_registry.h"
#include "export/automation/com_types.h"
#include "export/automation/ole_variant.h"

namespace automation::testing {

// One argument as the server received it.
struct RecordedArg {
  VARTYPE vt = VT_EMPTY;
  std::string text;          // VT_BSTR, as UTF-8
  std::int32_t i4 = 0;       // VT_I4
  std::int16_t i2 = 0;       // VT_I2
  VARIANT_BOOL boolean = 0;  // VT_BOOL, raw
  double r8 = 0.0;           // VT_R8
  // VT_BYREF | VT_VARIANT: what the reference points at.
  const VARIANT* target = nullptr;
  VARTYPE targetVt = VT_EMPTY;
  SCODE targetScode = 0;

  bool IsOmittedMarker() const;
  // "\"text\"", "1", "i2(-4108)", "r8(12.5)", "false", "<omitted>".
  std::string Describe() const;
};

// One IDispatch::Invoke as the server received it.
struct RecordedCall {
  int instance = 0;    // which created instance the object descends from (1, 2, ...)
  std::string target;  // path of the called object: "" for the instance itself
  std::string member;  // as the caller spelled it
  DISPID dispid = 0;
  WORD flags = 0;
  std::vector<RecordedArg> args;     // in the caller's order (DISPPARAMS reversed)
  std::vector<RecordedArg> rawArgs;  // in DISPPARAMS order
  std::vector<DISPID> namedDispids;
  bool resultRequested = false;
  bool nullIid = false;
  LCID lcid = 0;
  bool excepInfoGiven = false;

  // "<target>: <kind> <member>(<args>)" with kind get, put, method or
  // method|get, e.g. `WorkSheets().Item(1): put Cells(1, 1, "x")`.
  std::string Describe() const;
};

// One IDispatch::GetIDsOfNames as the server received it.
struct RecordedLookup {
  std::string name;
  UINT nameCount = 0;
  bool nullIid = false;
  LCID lcid = 0;
};

// A value a member answers with. std::monostate is VT_EMPTY.
using FakeValue = std::variant<std::monostate, bool, std::int32_t, double, std::string>;

class FakeAutomationServer {
 public:
  FakeAutomationServer();
  // Unregisters every identifier it registered. Objects still alive keep
  // working (they share the server's records).
  ~FakeAutomationServer();
  FakeAutomationServer(const FakeAutomationServer&) = delete;
  FakeAutomationServer& operator=(const FakeAutomationServer&) = delete;

  // Makes the server creatable as `progId` with a CLSID of its own; as a
  // fallback, it stands for the program's own application.
  void Register(std::string_view progId, ClassRank rank = ClassRank::Ordinary);
  const CLSID& Clsid() const;

  // A new instance, as CoCreateInstance would give it, held in a variant.
  OleVariant NewInstance();

  // Behaviour, by member name (ASCII case ignored, like the real servers).
  void Forget(std::string_view member);                   // GetIDsOfNames: DISP_E_UNKNOWNNAME
  void FailLookup(std::string_view member, HRESULT hr);   // GetIDsOfNames fails with hr
  void Answer(std::string_view member, FakeValue value);  // result instead of a child object
  void Fail(std::string_view member, HRESULT hr);         // Invoke returns hr
  // Invoke returns DISP_E_EXCEPTION with this record; `deferred` leaves it
  // to be filled by the record's deferred fill-in function.
  void Raise(std::string_view member, std::string description, SCODE scode, std::string source = {},
             std::string helpFile = {}, DWORD helpContext = 0, bool deferred = false);

  // Busy, as a server that is starting up or showing a box: the next
  // `count` requests of any kind (creations, look-ups, calls) answer
  // RPC_E_CALL_REJECTED without being carried out or recorded.
  void RejectNext(int count);
  int Rejected() const;  // requests rejected so far

  // Creation through the registry: fail with `hr`, or (with S_OK) succeed
  // with an object that has no IDispatch; Succeed() restores normal creation.
  void FailCreation(HRESULT hr);
  void CreateWithoutDispatch();
  void SucceedCreation();

  // Records.
  const std::vector<RecordedCall>& Calls() const;
  const std::vector<RecordedLookup>& Lookups() const;
  std::vector<std::string> Describe() const;  // every call's Describe()
  void ClearRecords();
  int InstancesCreated() const;

  // Objects alive and the sum of their reference counts.
  std::size_t LiveObjects() const;
  ULONG TotalReferences() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// COM initialised for the calling thread while it lives.
class ScopedComInitialization {
 public:
  ScopedComInitialization() : result_(CoInitialize(nullptr)) {}
  ~ScopedComInitialization() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ScopedComInitialization(const ScopedComInitialization&) = delete;
  ScopedComInitialization& operator=(const ScopedComInitialization&) = delete;
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

// The message an error without a text of its own shows for `code`: the
// program's own table (`portableText`) here, the system's messages on
// Windows, where the wording is the system's.
std::string ExpectedSystemText(HRESULT code, const char* portableText);

// An object with IUnknown only, for calls on a non-automation interface.
// Answers a new reference; counts itself in `liveCount` while alive.
IUnknown* NewPlainUnknown(int* liveCount);

}  // namespace automation::testing

#include "tests/support/fake_automation.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <utility>

#include "base/ascii_case.h"
#include "export/automation/class_registry.h"
#include "export/automation/exceptions.h"
#include "export/automation/system_error_text.h"
#include "export/automation/text_convert.h"

namespace automation::testing {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = base::LowerAscii(c);
  return out;
}

struct RaisedRecord {
  std::string description;
  SCODE scode = 0;
  std::string source;
  std::string helpFile;
  DWORD helpContext = 0;
  bool deferred = false;
};

struct Behaviour {
  bool unknown = false;
  HRESULT lookupFailure = S_OK;
  HRESULT invokeFailure = S_OK;
  std::optional<RaisedRecord> raised;
  std::optional<FakeValue> answer;
};

// The record a deferred fill-in completes; one call at a time runs here.
thread_local RaisedRecord tDeferredRecord;

void FillRecord(EXCEPINFO& info, const RaisedRecord& record) {
  info.bstrDescription = AllocBstr(record.description);
  info.bstrSource = record.source.empty() ? nullptr : AllocBstr(record.source);
  info.bstrHelpFile = record.helpFile.empty() ? nullptr : AllocBstr(record.helpFile);
  info.dwHelpContext = record.helpContext;
  info.scode = record.scode;
}

HRESULT STDMETHODCALLTYPE DeferredFillIn(EXCEPINFO* info) {
  FillRecord(*info, tDeferredRecord);
  info->pfnDeferredFillIn = nullptr;
  return S_OK;
}

void StoreValue(const FakeValue& value, VARIANT* out) {
  VariantInit(out);
  std::visit(
      [out](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>) {
          out->vt = VT_BOOL;
          out->boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
          out->vt = VT_I4;
          out->lVal = v;
        } else if constexpr (std::is_same_v<T, double>) {
          out->vt = VT_R8;
          out->dblVal = v;
        } else if constexpr (std::is_same_v<T, std::string>) {
          out->bstrVal = AllocBstr(v);
          out->vt = VT_BSTR;
        }
      },
      value);
}

RecordedArg Decode(const VARIANT& v) {
  RecordedArg arg;
  arg.vt = v.vt;
  switch (v.vt) {
    case VT_BSTR: arg.text = FromBstr(v.bstrVal); break;
    case VT_I4: arg.i4 = v.lVal; break;
    case VT_I2: arg.i2 = v.iVal; break;
    case VT_BOOL: arg.boolean = v.boolVal; break;
    case VT_R8: arg.r8 = v.dblVal; break;
    case VT_BYREF | VT_VARIANT:
      arg.target = v.pvarVal;
      if (v.pvarVal != nullptr) {
        arg.targetVt = v.pvarVal->vt;
        if (v.pvarVal->vt == VT_ERROR) arg.targetScode = v.pvarVal->scode;
      }
      break;
    default: break;
  }
  return arg;
}

std::string ArgumentList(const std::vector<RecordedArg>& args) {
  std::string out;
  for (const RecordedArg& arg : args) {
    if (!out.empty()) out += ", ";
    out += arg.Describe();
  }
  return out;
}

}  // namespace

struct FakeAutomationServer::State {
  CLSID clsid{};
  std::vector<std::pair<std::string, ClassRank>> registered;
  std::map<std::string, Behaviour> behaviours;  // by lower-case member name
  std::map<std::string, DISPID> dispids;        // by lower-case member name
  std::vector<std::string> namesById;           // DISPID - kFirstDispid -> name as first spelled
  std::vector<RecordedCall> calls;
  std::vector<RecordedLookup> lookups;
  int busyFor = 0;  // requests still to reject
  int rejected = 0;
  HRESULT creationFailure = S_OK;
  bool creationWithoutDispatch = false;
  int instancesCreated = 0;
  std::size_t liveObjects = 0;
  ULONG totalReferences = 0;

  static constexpr DISPID kFirstDispid = 1000;

  const Behaviour* BehaviourOf(std::string_view member) const {
    auto const found = behaviours.find(Lower(member));
    return found == behaviours.end() ? nullptr : &found->second;
  }
  Behaviour& BehaviourFor(std::string_view member) { return behaviours[Lower(member)]; }
  // Whether this request is turned away as busy.
  bool Rejects() {
    if (busyFor == 0) return false;
    --busyFor;
    ++rejected;
    return true;
  }
};

namespace {

using State = FakeAutomationServer::State;

class FakeDispatch final : public IDispatch {
 public:
  FakeDispatch(std::shared_ptr<State> state, int instance, std::string path)
      : state_(std::move(state)), instance_(instance), path_(std::move(path)) {
    ++state_->liveObjects;
    ++state_->totalReferences;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    return QueryOwnInterface(static_cast<IDispatch*>(this), riid, ppvObject);
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    ++state_->totalReferences;
    return ++refs_;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    --state_->totalReferences;
    ULONG const left = --refs_;
    if (left == 0) {
      --state_->liveObjects;
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
    if (pctinfo != nullptr) *pctinfo = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                          DISPID* rgDispId) override {
    if (rgszNames == nullptr || rgDispId == nullptr || cNames == 0) return E_INVALIDARG;
    if (state_->Rejects()) return RPC_E_CALL_REJECTED;
    std::size_t length = 0;
    while (rgszNames[0][length] != 0) ++length;
    std::string const name = FromOleString(rgszNames[0], length);
    state_->lookups.push_back(RecordedLookup{name, cNames, SameGuid(riid, kNullIid), lcid});
    if (const Behaviour* behaviour = state_->BehaviourOf(name)) {
      if (behaviour->unknown) {
        rgDispId[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
      }
      if (FAILED(behaviour->lookupFailure)) return behaviour->lookupFailure;
    }
    std::string const key = Lower(name);
    auto found = state_->dispids.find(key);
    if (found == state_->dispids.end()) {
      DISPID const id = State::kFirstDispid + static_cast<DISPID>(state_->namesById.size());
      state_->namesById.push_back(name);
      found = state_->dispids.emplace(key, id).first;
    }
    rgDispId[0] = found->second;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT*) override {
    std::size_t const index = static_cast<std::size_t>(dispIdMember - State::kFirstDispid);
    if (dispIdMember < State::kFirstDispid || index >= state_->namesById.size()) return DISP_E_MEMBERNOTFOUND;
    if (pDispParams == nullptr) return E_INVALIDARG;
    if (state_->Rejects()) return RPC_E_CALL_REJECTED;

    RecordedCall call;
    call.instance = instance_;
    call.target = path_;
    call.member = state_->namesById[index];
    call.dispid = dispIdMember;
    call.flags = wFlags;
    for (UINT i = 0; i < pDispParams->cArgs; ++i) call.rawArgs.push_back(Decode(pDispParams->rgvarg[i]));
    call.args.assign(call.rawArgs.rbegin(), call.rawArgs.rend());
    for (UINT i = 0; i < pDispParams->cNamedArgs; ++i) call.namedDispids.push_back(pDispParams->rgdispidNamedArgs[i]);
    call.resultRequested = pVarResult != nullptr;
    call.nullIid = SameGuid(riid, kNullIid);
    call.lcid = lcid;
    call.excepInfoGiven = pExcepInfo != nullptr;
    state_->calls.push_back(call);

    const Behaviour* behaviour = state_->BehaviourOf(call.member);
    if (behaviour != nullptr && FAILED(behaviour->invokeFailure)) return behaviour->invokeFailure;
    if (behaviour != nullptr && behaviour->raised) {
      if (pExcepInfo != nullptr) {
        *pExcepInfo = EXCEPINFO{};
        if (behaviour->raised->deferred) {
          tDeferredRecord = *behaviour->raised;
          pExcepInfo->pfnDeferredFillIn = &DeferredFillIn;
        } else {
          FillRecord(*pExcepInfo, *behaviour->raised);
        }
      }
      return DISP_E_EXCEPTION;
    }
    if (pVarResult != nullptr) {
      if (behaviour != nullptr && behaviour->answer) {
        StoreValue(*behaviour->answer, pVarResult);
      } else {
        std::string childPath = path_.empty() ? std::string() : path_ + ".";
        childPath += call.member + "(" + ArgumentList(call.args) + ")";
        VariantInit(pVarResult);
        pVarResult->vt = VT_DISPATCH;
        pVarResult->pdispVal = new FakeDispatch(state_, instance_, std::move(childPath));
      }
    }
    return S_OK;
  }

 private:
  ~FakeDispatch() = default;

  std::shared_ptr<State> state_;
  int instance_;
  std::string path_;
  ULONG refs_ = 1;
};

class PlainUnknown final : public IUnknown {
 public:
  explicit PlainUnknown(int* liveCount) : liveCount_(liveCount) { ++*liveCount_; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    return QueryOwnInterface(static_cast<IUnknown*>(this), riid, ppvObject);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG const left = --refs_;
    if (left == 0) {
      --*liveCount_;
      delete this;
    }
    return left;
  }

 private:
  ~PlainUnknown() = default;
  int* liveCount_;
  ULONG refs_ = 1;
};

int gPlainUnknownsOfCreation = 0;

}  // namespace

bool RecordedArg::IsOmittedMarker() const {
  return vt == (VT_BYREF | VT_VARIANT) && targetVt == VT_ERROR && targetScode == DISP_E_PARAMNOTFOUND;
}

std::string RecordedArg::Describe() const {
  char buffer[64];
  switch (vt) {
    case VT_BSTR: return "\"" + text + "\"";
    case VT_I4: return std::to_string(i4);
    case VT_I2: return "i2(" + std::to_string(i2) + ")";
    case VT_BOOL: return boolean == VARIANT_FALSE ? "false" : boolean == VARIANT_TRUE ? "true" : "bool(?)";
    case VT_R8: std::snprintf(buffer, sizeof buffer, "r8(%.17g)", r8); return buffer;
    case VT_BYREF | VT_VARIANT:
      if (IsOmittedMarker()) return "<omitted>";
      return "<byref>";
    default: std::snprintf(buffer, sizeof buffer, "<vt %u>", static_cast<unsigned>(vt)); return buffer;
  }
}

std::string RecordedCall::Describe() const {
  const char* kind = "method";
  if (flags == DISPATCH_PROPERTYGET)
    kind = "get";
  else if (flags == DISPATCH_PROPERTYPUT)
    kind = "put";
  else if (flags == (DISPATCH_METHOD | DISPATCH_PROPERTYGET))
    kind = "method|get";
  else if (flags != DISPATCH_METHOD)
    kind = "flags?";
  return target + ": " + kind + " " + member + "(" + ArgumentList(args) + ")";
}

FakeAutomationServer::FakeAutomationServer() : state_(std::make_shared<State>()) {
  // A class identifier of its own per server, so several can be registered.
  static DWORD next = 1;
  state_->clsid = GUID{0x4C554D00u + next++, 0x7E57, 0x4A11, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
}

FakeAutomationServer::~FakeAutomationServer() {
  for (const auto& [progId, rank] : state_->registered) UnregisterAutomationClass(progId, rank);
}

void FakeAutomationServer::Register(std::string_view progId, ClassRank rank) {
  std::weak_ptr<State> weak = state_;
  RegisterAutomationClass(
      progId, state_->clsid,
      [weak](IUnknown** object) -> HRESULT {
        std::shared_ptr<State> state = weak.lock();
        if (!state) return REGDB_E_CLASSNOTREG;
        if (state->Rejects()) return RPC_E_CALL_REJECTED;
        if (FAILED(state->creationFailure)) return state->creationFailure;
        if (state->creationWithoutDispatch) {
          *object = NewPlainUnknown(&gPlainUnknownsOfCreation);
          return S_OK;
        }
        *object = new FakeDispatch(state, ++state->instancesCreated, std::string());
        return S_OK;
      },
      rank);
  state_->registered.emplace_back(progId, rank);
}

const CLSID& FakeAutomationServer::Clsid() const { return state_->clsid; }

OleVariant FakeAutomationServer::NewInstance() {
  IDispatch* object = new FakeDispatch(state_, ++state_->instancesCreated, std::string());
  OleVariant held(object);
  object->Release();
  return held;
}

void FakeAutomationServer::Forget(std::string_view member) { state_->BehaviourFor(member).unknown = true; }
void FakeAutomationServer::FailLookup(std::string_view member, HRESULT hr) {
  state_->BehaviourFor(member).lookupFailure = hr;
}
void FakeAutomationServer::Answer(std::string_view member, FakeValue value) {
  state_->BehaviourFor(member).answer = std::move(value);
}
void FakeAutomationServer::Fail(std::string_view member, HRESULT hr) {
  state_->BehaviourFor(member).invokeFailure = hr;
}
void FakeAutomationServer::Raise(std::string_view member, std::string description, SCODE scode, std::string source,
                                 std::string helpFile, DWORD helpContext, bool deferred) {
  state_->BehaviourFor(member).raised =
      RaisedRecord{std::move(description), scode, std::move(source), std::move(helpFile), helpContext, deferred};
}

void FakeAutomationServer::RejectNext(int count) { state_->busyFor = count; }
int FakeAutomationServer::Rejected() const { return state_->rejected; }

void FakeAutomationServer::FailCreation(HRESULT hr) {
  state_->creationFailure = hr;
  state_->creationWithoutDispatch = false;
}
void FakeAutomationServer::CreateWithoutDispatch() {
  state_->creationFailure = S_OK;
  state_->creationWithoutDispatch = true;
}
void FakeAutomationServer::SucceedCreation() {
  state_->creationFailure = S_OK;
  state_->creationWithoutDispatch = false;
}

const std::vector<RecordedCall>& FakeAutomationServer::Calls() const { return state_->calls; }
const std::vector<RecordedLookup>& FakeAutomationServer::Lookups() const { return state_->lookups; }

std::vector<std::string> FakeAutomationServer::Describe() const {
  std::vector<std::string> out;
  for (const RecordedCall& call : state_->calls) out.push_back(call.Describe());
  return out;
}

void FakeAutomationServer::ClearRecords() {
  state_->calls.clear();
  state_->lookups.clear();
}

int FakeAutomationServer::InstancesCreated() const { return state_->instancesCreated; }
std::size_t FakeAutomationServer::LiveObjects() const { return state_->liveObjects; }
ULONG FakeAutomationServer::TotalReferences() const { return state_->totalReferences; }

std::string ExpectedSystemText(HRESULT code, [[maybe_unused]] const char* portableText) {
#ifdef _WIN32
  std::string const text = SystemErrorText(code);
  return text.empty() ? OleErrorFallbackText(code) : text;
#else
  (void)code;
  return portableText;
#endif
}

IUnknown* NewPlainUnknown(int* liveCount) { return new PlainUnknown(liveCount); }

}  // namespace automation::testing

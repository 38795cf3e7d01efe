#include "tests/support/windows/watched_dispatch.h"

#include <oleauto.h>

#include "base/ascii_case.h"
#include "base/utf.h"

namespace stand_in {
namespace {

std::string LowerName(const OLECHAR* name) {
  std::u16string wide;
  for (; *name != 0; ++name) wide += static_cast<char16_t>(*name);
  std::string text = base::Utf16ToUtf8(wide);
  for (char& c : text) c = base::LowerAscii(c);
  return text;
}

BSTR NewBstr(const std::string& utf8) {
  const std::u16string wide = base::Utf8ToUtf16(utf8);
  return ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()), static_cast<UINT>(wide.size()));
}

// The application-defined error (1004) that the spreadsheet application's
// refusals carry.
constexpr SCODE kApplicationError = static_cast<SCODE>(0x800A03ECu);

const IID kUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace

WatchedDispatch::WatchedDispatch(IDispatch* inner, Server& server) : inner_(inner), server_(server) {
  server_.ObjectCreated();
}

WatchedDispatch::~WatchedDispatch() {
  inner_->Release();
  server_.ObjectReleased();
}

HRESULT STDMETHODCALLTYPE WatchedDispatch::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (!::IsEqualIID(riid, kUnknown) && !::IsEqualIID(riid, kDispatch)) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  *object = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE WatchedDispatch::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE WatchedDispatch::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT STDMETHODCALLTYPE WatchedDispatch::GetTypeInfoCount(UINT* count) { return inner_->GetTypeInfoCount(count); }

HRESULT STDMETHODCALLTYPE WatchedDispatch::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
  return inner_->GetTypeInfo(index, lcid, info);
}

HRESULT STDMETHODCALLTYPE WatchedDispatch::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                                         DISPID* ids) {
  ++server_.lookups;
  const HRESULT found = inner_->GetIDsOfNames(riid, names, count, lcid, ids);
  if (SUCCEEDED(found) && count >= 1 && names != nullptr && names[0] != nullptr) names_[ids[0]] = LowerName(names[0]);
  return found;
}

HRESULT STDMETHODCALLTYPE WatchedDispatch::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                                  VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  ++server_.invokes;
  const auto named = names_.find(id);
  const std::string member = named != names_.end() ? named->second : std::string();
  if (!member.empty() && member == server_.DieAt()) server_.Die(member);
  if (member == "saveas" && server_.FailSaveAs()) {
    if (exception != nullptr) {
      *exception = EXCEPINFO{};
      exception->bstrSource = NewBstr("Lumetra stand-in");
      exception->bstrDescription = NewBstr(kSaveAsFailure);
      exception->scode = kApplicationError;
    }
    return DISP_E_EXCEPTION;
  }
  const HRESULT status = inner_->Invoke(id, riid, lcid, flags, params, result, exception, argumentError);
  // Every object handed out is one of the server's own, watched like this one.
  if (SUCCEEDED(status) && result != nullptr && result->vt == VT_DISPATCH && result->pdispVal != nullptr)
    result->pdispVal = new WatchedDispatch(result->pdispVal, server_);
  if (SUCCEEDED(status) && member == "quit") server_.QuitCalled();
  return status;
}

}  // namespace stand_in

// The stand-in spreadsheet server's view of its own objects: every object it
// hands out is the built-in application's object wrapped in one of these,
// which counts the name look-ups and calls that cross the process boundary,
// applies the server's fault switches, and keeps the count of live objects
// by which the server knows when to end.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace stand_in {

// What the server was told to do wrong (its command line), and what it
// does when the wrapped objects ask it to.
class Server {
 public:
  virtual ~Server() = default;
  // "SaveAs" fails with an exception record.
  virtual bool FailSaveAs() const = 0;
  // The member (lower case) on whose call the server dies; empty for none.
  virtual const std::string& DieAt() const = 0;
  // Ends the process at once, in the middle of the call.
  [[noreturn]] virtual void Die(const std::string& member) = 0;
  // A call of "Quit" was carried out.
  virtual void QuitCalled() = 0;
  // An object came or went; the server ends when none is left.
  virtual void ObjectCreated() = 0;
  virtual void ObjectReleased() = 0;

  long invokes = 0;
  long lookups = 0;
};

class WatchedDispatch final : public IDispatch {
 public:
  // Takes over the caller's reference to `inner`.
  WatchedDispatch(IDispatch* inner, Server& server);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) override;

 private:
  ~WatchedDispatch();

  IDispatch* inner_;
  Server& server_;
  // The names the client resolved on this object, by the DISPID it got.
  std::map<DISPID, std::string> names_;
  ULONG references_ = 1;
};

// The description a failing "SaveAs" carries, as the spreadsheet
// application words a write it could not do.
inline constexpr char kSaveAsFailure[] = "Не удаётся сохранить книгу: диск защищён от записи.";

}  // namespace stand_in

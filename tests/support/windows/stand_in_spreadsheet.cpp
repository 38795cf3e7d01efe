// A spreadsheet application out of process, for the tests that drive the
// program the way it meets MS Excel: a local server (LocalServer32) that
// the system starts with "-Embedding" and whose objects cross the process
// boundary through the system's IDispatch marshalling. Inside, it is the
// program's built-in spreadsheet application, under a class identifier of
// its own.
//
//   lumetra_stand_in_spreadsheet.exe --register [SWITCHES]   registers it as "Excel.Application"
//   lumetra_stand_in_spreadsheet.exe --unregister            and withdraws it
//
// Switches (kept in the registration, so every instance the system starts
// gets them):
//   --log FILE       appends "start PID", and "end PID invokes N lookups M
//                    quit|no-quit" (or "dies PID at MEMBER") lines to FILE
//   --busy SECONDS   rejects every incoming call, the creation of its
//                    application object included, for its first SECONDS
//   --fail-save-as   "SaveAs" fails with an exception record and a Russian
//                    description
//   --die-at MEMBER  ends the process abruptly when MEMBER is called
//
// A server ends when its last object is released (whether or not "Quit" was
// called: as MS Excel, an application told to quit goes only once nobody
// holds it, and ending earlier would cut off the answer to "Quit" itself),
// or when nobody created anything in it within half a minute of its busy
// time; it withdraws its class at once then, so that the next creation
// starts a new server. Until then further creations are served by it: a
// caller turned away while it is busy asks the same server again (under
// Wine, which asks for a single-use server's class anew each time, every
// such try would start another server, and each of those would start busy).
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <cctype>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/utf.h"
#include "export/sheetapp/builtin_spreadsheet.h"
#include "tests/support/windows/watched_dispatch.h"

namespace stand_in {
namespace {

// {CAF2798C-141C-4833-949C-32CB7E25C644}
const CLSID kStandInClsid = {0xcaf2798c, 0x141c, 0x4833, {0x94, 0x9c, 0x32, 0xcb, 0x7e, 0x25, 0xc6, 0x44}};
constexpr wchar_t kClsidText[] = L"{CAF2798C-141C-4833-949C-32CB7E25C644}";
constexpr wchar_t kProgId[] = L"Excel.Application";
constexpr DWORD kIdleLimitMs = 30000;

struct Switches {
  std::wstring log;
  DWORD busyMs = 0;
  bool failSaveAs = false;
  std::string dieAt;  // lower case
};

std::string Narrow(const std::wstring& text) { return base::Utf16ToUtf8(std::u16string(text.begin(), text.end())); }

void AppendLine(const std::wstring& path, const std::string& line) {
  if (path.empty()) return;
  HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\n";
  DWORD written = 0;
  ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(file);
}

class StandInServer final : public Server {
 public:
  StandInServer(Switches switches, DWORD mainThread) : switches_(std::move(switches)), mainThread_(mainThread) {}

  bool FailSaveAs() const override { return switches_.failSaveAs; }
  const std::string& DieAt() const override { return switches_.dieAt; }
  [[noreturn]] void Die(const std::string& member) override {
    Log("dies " + std::to_string(::GetCurrentProcessId()) + " at " + member);
    // Wine keeps the class of a server killed with it registered until its
    // wine server ends, and hands the dead server's class to the next
    // caller: withdrawn here, so that the program's next save can start a
    // new server, as it would on Windows.
    Withdraw();
    ::TerminateProcess(::GetCurrentProcess(), 3);
    ::ExitProcess(3);
  }
  void QuitCalled() override { quitCalled_ = true; }
  void ObjectCreated() override {
    ++live_;
    everCreated_ = true;
  }
  void ObjectReleased() override {
    if (--live_ <= 0 && locks_ <= 0) End();
  }
  void Lock(bool on) {
    locks_ += on ? 1 : -1;
    if (locks_ <= 0 && live_ <= 0 && everCreated_) End();
  }
  bool EverCreated() const { return everCreated_; }

  void Registered(DWORD cookie) { cookie_ = cookie; }
  // No further creation reaches this server.
  void Withdraw() {
    if (cookie_ != 0) ::CoRevokeClassObject(cookie_);
    cookie_ = 0;
  }

  void Log(const std::string& line) const { AppendLine(switches_.log, line); }
  const Switches& Given() const { return switches_; }
  bool QuitWasCalled() const { return quitCalled_; }

 private:
  // The loop of the main thread ends, and with it the process.
  void End() {
    Withdraw();
    ::PostThreadMessageW(mainThread_, WM_QUIT, 0, 0);
  }

  Switches switches_;
  DWORD mainThread_;
  long live_ = 0;
  long locks_ = 0;
  bool everCreated_ = false;
  DWORD cookie_ = 0;
  bool quitCalled_ = false;
};

// Rejects every incoming call while the server is busy: what a caller then
// gets is RPC_E_CALL_REJECTED, as from a spreadsheet application that is
// starting up or showing a box.
class BusyFilter final : public IMessageFilter {
 public:
  BusyFilter(ULONGLONG started, DWORD busyMs) : until_(started + busyMs) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (!::IsEqualIID(riid, IID_IUnknown) && !::IsEqualIID(riid, IID_IMessageFilter)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IMessageFilter*>(this);
    return S_OK;
  }
  // Lives as long as the process.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return ::GetTickCount64() < until_ ? SERVERCALL_REJECTED : SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

 private:
  ULONGLONG until_;
};

class Factory final : public IClassFactory {
 public:
  explicit Factory(StandInServer& server) : server_(server) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (!::IsEqualIID(riid, IID_IUnknown) && !::IsEqualIID(riid, IID_IClassFactory)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // lives on the stack of main

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    IUnknown* application = nullptr;
    HRESULT result = sheetapp::CreateBuiltInSpreadsheet(&application);
    if (FAILED(result)) return result;
    IDispatch* dispatch = nullptr;
    result = application->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    application->Release();
    if (FAILED(result)) return result;
    auto* watched = new WatchedDispatch(dispatch, server_);
    result = watched->QueryInterface(riid, object);
    watched->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    server_.Lock(lock != FALSE);
    return S_OK;
  }

 private:
  StandInServer& server_;
  ULONG references_ = 1;
};

// The registration under HKEY_CLASSES_ROOT, in both views of the registry
// (64- and 32-bit programs look their classes up in their own).
bool WriteValue(HKEY root, const std::wstring& key, const std::wstring& value, REGSAM view) {
  HKEY handle = nullptr;
  if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &handle, nullptr) != ERROR_SUCCESS)
    return false;
  const LSTATUS written = ::RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(handle);
  return written == ERROR_SUCCESS;
}

int Register(const std::wstring& serverCommand) {
  const std::wstring classKey = std::wstring(L"CLSID\\") + kClsidText;
  bool ok = true;
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    ok = ok && WriteValue(HKEY_CLASSES_ROOT, std::wstring(kProgId) + L"\\CLSID", kClsidText, view);
    ok = ok && WriteValue(HKEY_CLASSES_ROOT, classKey, L"Lumetra stand-in spreadsheet application", view);
    ok = ok && WriteValue(HKEY_CLASSES_ROOT, classKey + L"\\ProgID", kProgId, view);
    ok = ok && WriteValue(HKEY_CLASSES_ROOT, classKey + L"\\LocalServer32", serverCommand, view);
  }
  return ok ? 0 : 1;
}

int Unregister() {
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    HKEY classes = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID", 0, KEY_ALL_ACCESS | view, &classes) == ERROR_SUCCESS) {
      ::RegDeleteTreeW(classes, kClsidText);
      ::RegCloseKey(classes);
    }
  }
  return 0;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

int Serve(const Switches& switches) {
  const ULONGLONG started = ::GetTickCount64();
  StandInServer server(switches, ::GetCurrentThreadId());
  server.Log("start " + std::to_string(::GetCurrentProcessId()));
  if (FAILED(::CoInitialize(nullptr))) return 1;
  BusyFilter busy(started, switches.busyMs);
  if (switches.busyMs > 0) ::CoRegisterMessageFilter(&busy, nullptr);
  Factory factory(server);
  DWORD cookie = 0;
  if (FAILED(::CoRegisterClassObject(kStandInClsid, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie))) {
    server.Log("end " + std::to_string(::GetCurrentProcessId()) + " not registered");
    ::CoUninitialize();
    return 1;
  }
  server.Registered(cookie);
  // Nobody came: the client gave up, or was never there.
  const UINT_PTR idle = ::SetTimer(nullptr, 0, switches.busyMs + kIdleLimitMs, nullptr);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == idle) {
      if (!server.EverCreated()) break;
      continue;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  ::KillTimer(nullptr, idle);
  server.Withdraw();
  if (switches.busyMs > 0) ::CoRegisterMessageFilter(nullptr, nullptr);
  ::CoUninitialize();
  server.Log("end " + std::to_string(::GetCurrentProcessId()) + " invokes " + std::to_string(server.invokes) +
             " lookups " + std::to_string(server.lookups) + (server.QuitWasCalled() ? " quit" : " no-quit"));
  return 0;
}

}  // namespace
}  // namespace stand_in

int wmain(int argc, wchar_t** argv) {
  using namespace stand_in;
  Switches switches;
  std::wstring registered;  // the switches as given, for the registration
  bool doRegister = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == L"--register") {
      doRegister = true;
    } else if (arg == L"--unregister") {
      return Unregister();
    } else if (arg == L"--log" && hasValue) {
      switches.log = argv[++i];
      registered += L" --log " + Quoted(switches.log);
    } else if (arg == L"--busy" && hasValue) {
      switches.busyMs = static_cast<DWORD>(std::wcstoul(argv[++i], nullptr, 10) * 1000);
      registered += L" --busy " + std::wstring(argv[i]);
    } else if (arg == L"--fail-save-as") {
      switches.failSaveAs = true;
      registered += L" --fail-save-as";
    } else if (arg == L"--die-at" && hasValue) {
      switches.dieAt = Narrow(argv[++i]);
      for (char& c : switches.dieAt) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      registered += L" --die-at " + std::wstring(argv[i]);
    } else if (arg == L"-Embedding" || arg == L"/Embedding") {
      // Started by the system for a client: the only way it is meant to run.
    } else {
      std::fwprintf(stderr, L"%ls: unknown argument %ls\n", argv[0], arg.c_str());
      return 2;
    }
  }
  if (doRegister) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return Register(Quoted(self) + registered);
  }
  return Serve(switches);
}

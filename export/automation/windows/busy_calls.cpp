// Busy servers on Windows. The system retries a rejected call itself when
// the calling thread's message filter tells it to (RetryRejectedCall); the
// filter here tells it to on the layer's schedule, so that a busy MS Excel
// is waited for inside the call. Wine never asks the filter: there the
// layer's own retries (busy_retry.cpp) do the waiting.
#include "export/automation/busy_retry.h"

namespace automation {
namespace {

using std::chrono::milliseconds;

constexpr IID kMessageFilterIid{0x00000016, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class BusyCallFilter final : public IMessageFilter {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (!SameGuid(riid, kUnknownIid) && !SameGuid(riid, kMessageFilterIid)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IMessageFilter*>(this);
    return S_OK;
  }
  // One per thread, living as long as the thread.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // The program serves no calls of its own; whatever comes is taken.
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD waitedMs, DWORD rejection) override {
    if (rejection != SERVERCALL_RETRYLATER && rejection != SERVERCALL_REJECTED) return kCancel;
    const auto pause = BusyRetryPause(milliseconds(waitedMs));
    return pause ? static_cast<DWORD>(pause->count()) : kCancel;
  }
  // While a call is out, the window is painted and the system answered, but
  // the user's input waits: it is dropped when the handler ends.
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

 private:
  static constexpr DWORD kCancel = static_cast<DWORD>(-1);
};

thread_local BusyCallFilter tFilter;
thread_local IMessageFilter* tPrevious = nullptr;
thread_local bool tInstalled = false;

}  // namespace

void BusyPause(milliseconds length) {
  // COM's wait: in a single-threaded apartment it runs COM's modal loop,
  // which is what keeps the window alive during any call to another process.
  HANDLE const never = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (never == nullptr) {
    ::Sleep(static_cast<DWORD>(length.count()));
    return;
  }
  DWORD index = 0;
  ::CoWaitForMultipleHandles(0, static_cast<DWORD>(length.count()), 1, const_cast<HANDLE*>(&never), &index);
  ::CloseHandle(never);
}

void InstallBusyCallFilter() {
  if (tInstalled) return;
  IMessageFilter* previous = nullptr;
  // Refused outside a single-threaded apartment, which has no filter.
  if (FAILED(::CoRegisterMessageFilter(&tFilter, &previous))) return;
  tPrevious = previous;
  tInstalled = true;
}

void RemoveBusyCallFilter() {
  if (!tInstalled) return;
  IMessageFilter* ours = nullptr;
  ::CoRegisterMessageFilter(tPrevious, &ours);
  if (ours != nullptr) ours->Release();
  if (tPrevious != nullptr) tPrevious->Release();
  tPrevious = nullptr;
  tInstalled = false;
}

}  // namespace automation

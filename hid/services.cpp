// The service table and the acquisition of its groups.
#include <atomic>
#include <mutex>

#include "hid/hid_services.h"

namespace hid {
namespace {

struct ServiceState {
  // Acquisition and provider changes happen on the user-interface thread;
  // the lock only keeps a lazy first binding from racing with them.
  std::recursive_mutex mutex;
  ServiceTable table;
  ServiceProvider* installed = nullptr;  // nullptr: the platform's own
  std::atomic<bool> fileServicesBound{false};
  int setupReferences = 0;
  std::atomic<bool> hidLoaded{false};
};

ServiceState& State() {
  static ServiceState state;
  return state;
}

ServiceProvider& Provider(ServiceState& state) {
  return state.installed != nullptr ? *state.installed : PlatformServiceProvider();
}

bool SetupServicesComplete(const ServiceTable& t) {
  return t.SetupDiGetClassDevsA && t.SetupDiEnumDeviceInterfaces && t.SetupDiGetDeviceInterfaceDetailA &&
         t.SetupDiGetDeviceRegistryPropertyA && t.SetupDiDestroyDeviceInfoList;
}

bool HidServicesComplete(const ServiceTable& t) {
  return t.HidD_GetHidGuid && t.HidD_GetAttributes && t.HidD_GetPreparsedData && t.HidD_FreePreparsedData &&
         t.HidP_GetCaps && t.HidD_GetProductString;
}

void ForgetFileServices(ServiceTable& t) {
  t.CreateFileA = nullptr;
  t.CloseHandle = nullptr;
  t.ReadFile = nullptr;
  t.WriteFile = nullptr;
  t.ReadFileEx = nullptr;
  t.SleepEx = nullptr;
  t.GetOverlappedResult = nullptr;
  t.CancelIo = nullptr;
  t.GetLastError = nullptr;
}

void BindFileServices(ServiceState& state) {
  ForgetFileServices(state.table);
  Provider(state).BindFileServices(state.table);
  state.fileServicesBound.store(true, std::memory_order_release);
}

}  // namespace

ServiceTable& Services() {
  ServiceState& state = State();
  if (!state.fileServicesBound.load(std::memory_order_acquire)) {
    std::lock_guard lock(state.mutex);
    if (!state.fileServicesBound.load(std::memory_order_relaxed)) BindFileServices(state);
  }
  return state.table;
}

ServiceProvider* SetServiceProvider(ServiceProvider* provider) {
  ServiceState& state = State();
  std::lock_guard lock(state.mutex);
  // Entry points of an acquired group belong to the provider that loaded
  // them; changing providers now would strand them.
  if (state.setupReferences > 0 || state.hidLoaded.load()) return state.installed;
  ServiceProvider* previous = state.installed;
  state.installed = provider;
  BindFileServices(state);
  return previous;
}

bool AcquireSetupServices() {
  ServiceState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.setupReferences > 0) {
    ++state.setupReferences;
    return true;
  }
  ServiceProvider& provider = Provider(state);
  bool loaded = provider.LoadSetupServices(state.table);
  if (loaded && !SetupServicesComplete(state.table)) {
    provider.FreeSetupServices(state.table);
    loaded = false;
  }
  if (!loaded) {
    ForgetSetupServices(state.table);
    return false;
  }
  state.setupReferences = 1;
  return true;
}

void ReleaseSetupServices() {
  ServiceState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.setupReferences == 0) return;
  if (--state.setupReferences == 0) {
    Provider(state).FreeSetupServices(state.table);
    ForgetSetupServices(state.table);
  }
}

bool AcquireHidServices() {
  ServiceState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.hidLoaded.load()) return true;
  ServiceProvider& provider = Provider(state);
  bool loaded = provider.LoadHidServices(state.table);
  if (loaded && !HidServicesComplete(state.table)) {
    provider.FreeHidServices(state.table);
    loaded = false;
  }
  if (!loaded) {
    ForgetHidServices(state.table);
    return false;
  }
  state.hidLoaded.store(true);
  return true;
}

void ReleaseHidServices() {
  ServiceState& state = State();
  std::lock_guard lock(state.mutex);
  if (!state.hidLoaded.load()) return;
  Provider(state).FreeHidServices(state.table);
  ForgetHidServices(state.table);
  state.hidLoaded.store(false);
}

bool HidServicesAvailable() { return State().hidLoaded.load(); }

void ForgetSetupServices(ServiceTable& t) {
  t.SetupDiGetClassDevsA = nullptr;
  t.SetupDiEnumDeviceInterfaces = nullptr;
  t.SetupDiGetDeviceInterfaceDetailA = nullptr;
  t.SetupDiGetDeviceRegistryPropertyA = nullptr;
  t.SetupDiDestroyDeviceInfoList = nullptr;
}

void ForgetHidServices(ServiceTable& t) {
  t.HidD_GetHidGuid = nullptr;
  t.HidD_GetAttributes = nullptr;
  t.HidD_GetPreparsedData = nullptr;
  t.HidD_FreePreparsedData = nullptr;
  t.HidP_GetCaps = nullptr;
  t.HidD_GetProductString = nullptr;
}

}  // namespace hid

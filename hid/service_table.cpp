// The service table and the acquisition of its groups.
#include "hid/service_table.h"

#include <atomic>
#include <mutex>

namespace hid {
namespace {

// Each group's list names every one of its entry points: a group is made of
// function pointers only, as many as its list has lines.
#define LUMETRA_COUNT_ENTRY(entry) +1
static_assert(sizeof(ServiceTable::Setup) == (0 LUMETRA_SETUP_SERVICES(LUMETRA_COUNT_ENTRY)) * sizeof(void (*)()));
static_assert(sizeof(ServiceTable::Hid) == (0 LUMETRA_HID_SERVICES(LUMETRA_COUNT_ENTRY)) * sizeof(void (*)()));
static_assert(sizeof(ServiceTable::File) == (0 LUMETRA_FILE_SERVICES(LUMETRA_COUNT_ENTRY)) * sizeof(void (*)()));
static_assert(sizeof(ServiceTable::Hold) == (0 LUMETRA_HOLD_SERVICES(LUMETRA_COUNT_ENTRY)) * sizeof(void (*)()));
#undef LUMETRA_COUNT_ENTRY

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

void BindFileServices(ServiceState& state) {
  state.table.file = {};
  state.table.hold = {};
  Provider(state).BindFileServices(state.table.file);
  Provider(state).BindHoldServices(state.table.hold);
  state.fileServicesBound.store(true, std::memory_order_release);
}

// Loads one group through the provider: all of it, or nothing at all.
template <typename Group>
bool LoadGroup(Group& group, bool (ServiceProvider::*load)(Group&), void (ServiceProvider::*free)(Group&),
               ServiceProvider& provider) {
  bool loaded = (provider.*load)(group);
  if (loaded && !Complete(group)) {
    (provider.*free)(group);
    loaded = false;
  }
  if (!loaded) group = {};
  return loaded;
}

}  // namespace

#define LUMETRA_ENTRY_BOUND(entry) &&group.entry != nullptr
bool Complete(const ServiceTable::Setup& group) { return true LUMETRA_SETUP_SERVICES(LUMETRA_ENTRY_BOUND); }
bool Complete(const ServiceTable::Hid& group) { return true LUMETRA_HID_SERVICES(LUMETRA_ENTRY_BOUND); }
bool Complete(const ServiceTable::File& group) { return true LUMETRA_FILE_SERVICES(LUMETRA_ENTRY_BOUND); }
bool Complete(const ServiceTable::Hold& group) { return true LUMETRA_HOLD_SERVICES(LUMETRA_ENTRY_BOUND); }
#undef LUMETRA_ENTRY_BOUND

void ServiceProvider::BindHoldServices(ServiceTable::Hold& group) { group = PlatformHoldServices(); }

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
  if (!LoadGroup(state.table.setup, &ServiceProvider::LoadSetupServices, &ServiceProvider::FreeSetupServices,
                 Provider(state))) {
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
    Provider(state).FreeSetupServices(state.table.setup);
    state.table.setup = {};
  }
}

bool AcquireHidServices() {
  ServiceState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.hidLoaded.load()) return true;
  if (!LoadGroup(state.table.hid, &ServiceProvider::LoadHidServices, &ServiceProvider::FreeHidServices,
                 Provider(state))) {
    return false;
  }
  state.hidLoaded.store(true);
  return true;
}

void ReleaseHidServices() {
  ServiceState& state = State();
  std::lock_guard lock(state.mutex);
  if (!state.hidLoaded.load()) return;
  Provider(state).FreeHidServices(state.table.hid);
  state.table.hid = {};
  state.hidLoaded.store(false);
}

bool HidServicesAvailable() { return State().hidLoaded.load(); }

}  // namespace hid

// The Windows backend of the service table.
#include "hid/windows/service_provider.h"

#include "hid/windows/service_groups.h"

namespace hid::windows {
namespace {

// Forgets a group before its library goes (nothing may call into a library
// after it is gone) and frees the library.
template <typename Group>
void FreeGroup(Group& group, HMODULE& library) {
  group = {};
  if (library != nullptr) {
    ::FreeLibrary(library);
    library = nullptr;
  }
}

// Loads a group's library unless loaded and binds the group from it; frees
// it again when the group cannot be bound in full.
template <typename Group>
bool LoadGroup(Group& group, HMODULE& library, const char* name, bool (*bind)(HMODULE, Group&)) {
  // Loaded already: bind again from the same module rather than taking a
  // second module reference that no Free would give back.
  if (library == nullptr) library = LoadServiceLibrary(name);
  if (bind(library, group)) return true;
  FreeGroup(group, library);
  return false;
}

}  // namespace

WindowsServiceProvider::WindowsServiceProvider(const char* setupLibrary, const char* hidLibrary)
    : setup_name_(setupLibrary), hid_name_(hidLibrary) {}

WindowsServiceProvider::~WindowsServiceProvider() {
  // Only reached by providers a test made; the program's lives to the end.
  if (setup_library_ != nullptr) ::FreeLibrary(setup_library_);
  if (hid_library_ != nullptr) ::FreeLibrary(hid_library_);
}

bool WindowsServiceProvider::LoadSetupServices(ServiceTable::Setup& group) {
  return LoadGroup(group, setup_library_, setup_name_, &BindSetupServices);
}

void WindowsServiceProvider::FreeSetupServices(ServiceTable::Setup& group) { FreeGroup(group, setup_library_); }

bool WindowsServiceProvider::LoadHidServices(ServiceTable::Hid& group) {
  return LoadGroup(group, hid_library_, hid_name_, &BindHidServices);
}

void WindowsServiceProvider::FreeHidServices(ServiceTable::Hid& group) { FreeGroup(group, hid_library_); }

void WindowsServiceProvider::BindFileServices(ServiceTable::File& group) { group = KernelFileServices(); }

}  // namespace hid::windows

namespace hid {

ServiceProvider& PlatformServiceProvider() {
  // Never destroyed: unloading system libraries during process teardown,
  // in whatever order static destructors run, gains nothing.
  static auto* provider = new windows::WindowsServiceProvider();
  return *provider;
}

}  // namespace hid

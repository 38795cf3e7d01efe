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

}  // namespace

WindowsServiceProvider::WindowsServiceProvider(const char* setupLibrary, const char* hidLibrary)
    : setup_name_(setupLibrary), hid_name_(hidLibrary) {}

WindowsServiceProvider::~WindowsServiceProvider() {
  // Only reached by providers a test made; the program's lives to the end.
  if (setup_library_ != nullptr) ::FreeLibrary(setup_library_);
  if (hid_library_ != nullptr) ::FreeLibrary(hid_library_);
}

bool WindowsServiceProvider::LoadSetupServices(ServiceTable::Setup& group) {
  // Loaded already: bind again from the same module rather than taking a
  // second module reference that no Free would give back.
  if (setup_library_ == nullptr) setup_library_ = LoadServiceLibrary(setup_name_);
  if (BindSetupServices(setup_library_, group)) return true;
  FreeGroup(group, setup_library_);
  return false;
}

void WindowsServiceProvider::FreeSetupServices(ServiceTable::Setup& group) { FreeGroup(group, setup_library_); }

bool WindowsServiceProvider::LoadHidServices(ServiceTable::Hid& group) {
  if (hid_library_ == nullptr) hid_library_ = LoadServiceLibrary(hid_name_);
  if (BindHidServices(hid_library_, group)) return true;
  FreeGroup(group, hid_library_);
  return false;
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

// Acquiring and releasing the service groups.
#include <gtest/gtest.h>

#include "hid/service_table.h"
#include "tests/support/simulated_hid_platform.h"

namespace {

class Services : public ::testing::Test {
 protected:
  simulated_hid::SimulatedPlatform platform;
};

TEST_F(Services, SetupServicesAreCountedAndFreedWithTheLastRelease) {
  ASSERT_TRUE(hid::AcquireSetupServices());
  ASSERT_TRUE(hid::AcquireSetupServices());
  EXPECT_EQ(platform.SetupLoads(), 1);
  EXPECT_NE(hid::Services().setup.SetupDiGetClassDevsA, nullptr);
  hid::ReleaseSetupServices();
  EXPECT_EQ(platform.SetupFrees(), 0);
  EXPECT_NE(hid::Services().setup.SetupDiGetClassDevsA, nullptr);
  hid::ReleaseSetupServices();
  EXPECT_EQ(platform.SetupFrees(), 1);
  EXPECT_EQ(hid::Services().setup.SetupDiGetClassDevsA, nullptr);
  // A release too many does nothing.
  hid::ReleaseSetupServices();
  EXPECT_EQ(platform.SetupFrees(), 1);
}

TEST_F(Services, AFailedLoadLeavesNoReference) {
  platform.SetSetupServicesLoadable(false);
  EXPECT_FALSE(hid::AcquireSetupServices());
  EXPECT_EQ(hid::Services().setup.SetupDiEnumDeviceInterfaces, nullptr);
  platform.SetSetupServicesLoadable(true);
  ASSERT_TRUE(hid::AcquireSetupServices());
  EXPECT_EQ(platform.SetupLoads(), 2);
  hid::ReleaseSetupServices();
  EXPECT_EQ(platform.SetupFrees(), 1);
}

TEST_F(Services, HidServicesAreNotCounted) {
  EXPECT_FALSE(hid::HidServicesAvailable());
  ASSERT_TRUE(hid::AcquireHidServices());
  ASSERT_TRUE(hid::AcquireHidServices());
  EXPECT_EQ(platform.HidLoads(), 1);
  EXPECT_TRUE(hid::HidServicesAvailable());
  hid::ReleaseHidServices();
  EXPECT_FALSE(hid::HidServicesAvailable());
  EXPECT_EQ(hid::Services().hid.HidD_GetAttributes, nullptr);
  EXPECT_EQ(platform.HidFrees(), 1);
}

// Binds all of a group but one entry point and says it succeeded.
class IncompleteProvider : public hid::ServiceProvider {
 public:
  explicit IncompleteProvider(hid::ServiceProvider& inner) : inner_(inner) {}
  bool LoadSetupServices(hid::ServiceTable::Setup& group) override {
    inner_.LoadSetupServices(group);
    group.SetupDiDestroyDeviceInfoList = nullptr;
    return true;
  }
  void FreeSetupServices(hid::ServiceTable::Setup& group) override {
    ++setupFrees;
    inner_.FreeSetupServices(group);
  }
  bool LoadHidServices(hid::ServiceTable::Hid& group) override {
    inner_.LoadHidServices(group);
    group.HidP_GetCaps = nullptr;
    return true;
  }
  void FreeHidServices(hid::ServiceTable::Hid& group) override {
    ++hidFrees;
    inner_.FreeHidServices(group);
  }
  void BindFileServices(hid::ServiceTable::File& group) override { inner_.BindFileServices(group); }
  int setupFrees = 0;
  int hidFrees = 0;

 private:
  hid::ServiceProvider& inner_;
};

TEST_F(Services, OneMissingEntryPointFailsTheWholeGroup) {
  IncompleteProvider incomplete(platform);
  hid::ServiceProvider* previous = hid::SetServiceProvider(&incomplete);
  EXPECT_EQ(previous, &platform);
  EXPECT_FALSE(hid::AcquireSetupServices());
  EXPECT_EQ(incomplete.setupFrees, 1);
  EXPECT_EQ(hid::Services().setup.SetupDiGetClassDevsA, nullptr);
  EXPECT_FALSE(hid::AcquireHidServices());
  EXPECT_EQ(incomplete.hidFrees, 1);
  EXPECT_EQ(hid::Services().hid.HidD_GetAttributes, nullptr);
  EXPECT_FALSE(hid::HidServicesAvailable());
  hid::SetServiceProvider(previous);
}

TEST_F(Services, ProviderCannotChangeWhileServicesAreAcquired) {
  IncompleteProvider other(platform);
  ASSERT_TRUE(hid::AcquireHidServices());
  EXPECT_EQ(hid::SetServiceProvider(&other), &platform);  // refused: still the simulated platform
  hid::ReleaseHidServices();
  EXPECT_EQ(hid::SetServiceProvider(&other), &platform);  // now it changes
  EXPECT_EQ(hid::SetServiceProvider(&platform), &other);
}

TEST_F(Services, FileServicesAreBoundFromTheInstalledProvider) {
  hid::ServiceTable& table = hid::Services();
  ASSERT_NE(table.file.CreateFileA, nullptr);
  EXPECT_EQ(table.file.CreateFileA("\\\\?\\nothing", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(table.file.GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace

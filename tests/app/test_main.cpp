#include <gtest/gtest.h>

#include "app/kit/application.h"
#include "app/kit/dialogs.h"
#include "app/startup/startup.h"
#include "tests/app/fake_dialogs.h"
#include "tests/app/support/native_ui.h"

int main(int argc, char** argv) {
  nativeui::PrepareTestRun();
  ::testing::InitGoogleTest(&argc, argv);
  kit::Application application(argc, argv);
  app::PrepareApplication(application);
  // Each window test brings its own simulated HID platform (window_fixture.h).
  UnexpectedDialogs unexpected;
  kit::SetDialogs(&unexpected);
  const int result = RUN_ALL_TESTS();
  kit::SetDialogs(nullptr);
  return result;
}

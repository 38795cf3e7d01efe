#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "app/startup.h"
#include "tests/app/fake_dialogs.h"

int main(int argc, char** argv) {
  // These tests never need a real display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Keeps what Qt's own file dialog remembers out of the user's configuration.
  QStandardPaths::setTestModeEnabled(true);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  app::PrepareApplication(application);
  // Each window test brings its own simulated HID platform (window_fixture.h).
  UnexpectedDialogs unexpected;
  app::SetDialogs(&unexpected);
  const int result = RUN_ALL_TESTS();
  app::SetDialogs(nullptr);
  return result;
}

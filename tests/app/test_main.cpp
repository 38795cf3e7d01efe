#include <gtest/gtest.h>

#include "app/kit/backend.h"
#include "app/kit/dialogs.h"
#include "app/startup/startup.h"
#include "tests/app/fake_desktop.h"
#include "tests/app/fake_dialogs.h"
#include "tests/app/support/native_ui.h"
#include "tests/support/test_folder.h"

int main(int argc, char** argv) {
  nativeui::PrepareTestRun();
  ::testing::InitGoogleTest(&argc, argv);
  kit::Application application(argc, argv);
  app::PrepareApplication(application);
  // What the start-up leaves to the event loop (the icon, Qt's own texts) is
  // in place before the first test, as in the program before the first click.
  application.ProcessMessages();
  // Each window test brings its own simulated HID platform (window_fixture.h).
  UnexpectedDialogs unexpected;
  kit::SetDialogs(&unexpected);
  // Every read a test makes goes to the journal: into a folder of the run's,
  // never into the user's Documents.
  const spreadsheet::testing::TestFolder documents("lumetra-app-documents");
  FakeDesktop desktop(spreadsheet::testing::Utf8Path(documents.Path()));
  kit::ScopedDesktop installedDesktop(desktop);
  const int result = RUN_ALL_TESTS();
  kit::SetDialogs(nullptr);
  return result;
}

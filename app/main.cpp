// Lumetra: reads the measurements of the VORDA-2 USB stopwatch and saves
// them as a spreadsheet workbook.
#include "app/adapters/device_change_watcher.h"
#include "app/adapters/main_thread_dispatcher.h"
#include "app/form1.h"
#include "app/kit/backend.h"
#include "app/startup/startup.h"
#include "export/automation/com_session.h"
#include "export/automation/spreadsheet_link.h"
#include "export/sheetapp/builtin_spreadsheet.h"
#include "hid/main_thread.h"

int main(int argc, char* argv[]) {
  kit::Application application(argc, argv);
  // COM for this thread before the window exists; at the end the spreadsheet
  // link lets go of its object before COM is shut down.
  automation::ComSession com(automation::SpreadsheetLink());
  // The program's own spreadsheet application answers to "Excel.Application"
  // wherever the system's does not, so saving works anyway; an MS Excel
  // installed while the program runs takes over at the next save.
  sheetapp::RegisterBuiltInSpreadsheet();
  app::PrepareApplication(application);

  // The HID layer's posted notices and hand-overs run in the event loop.
  app::MainThreadDispatcher dispatcher;
  hid::SetMainThreadDispatcher(&dispatcher);
  // Plugging and unplugging reach the controller as device-change notices.
  app::DeviceChangeWatcher deviceChanges;

  int result = 0;
  {
    std::unique_ptr<TForm1> Form1 = app::CreateMainWindow();
    result = application.Run(Form1->FormPeer());
  }
  hid::SetMainThreadDispatcher(nullptr);
  return result;
}

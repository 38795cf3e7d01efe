// Lumetra: reads the measurements of the VORDA-2 USB stopwatch and saves
// them as a spreadsheet workbook.
#include <QApplication>

#include "app/adapters/device_change_watcher.h"
#include "app/adapters/qt_main_thread_dispatcher.h"
#include "app/form1.h"
#include "app/startup.h"
#include "export/automation/com_session.h"
#include "export/automation/spreadsheet_link.h"
#include "export/sheetapp/builtin_spreadsheet.h"
#include "hid/main_thread.h"

int main(int argc, char* argv[]) {
  // The program takes no command-line arguments: Qt gets the program path only,
  // so no option on the command line changes how it runs.
  int qtArgc = argc > 0 ? 1 : 0;
  char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};

  QApplication application(qtArgc, qtArgv);
  // COM for this thread before the window exists; at the end the spreadsheet
  // link lets go of its object before COM is shut down.
  automation::ComSession com(automation::SpreadsheetLink());
  // The program's own spreadsheet application answers to "Excel.Application"
  // wherever the system's does not, so saving works anyway; an MS Excel
  // installed while the program runs takes over at the next save.
  sheetapp::RegisterBuiltInSpreadsheet();
  app::PrepareApplication(application);

  // The HID layer's posted notices and hand-overs run in this event loop.
  app::QtMainThreadDispatcher dispatcher;
  hid::SetMainThreadDispatcher(&dispatcher);
  // Plugging and unplugging reach the controller as device-change notices.
  app::DeviceChangeWatcher deviceChanges;

  int result = 0;
  {
    std::unique_ptr<TForm1> Form1 = app::CreateMainWindow();
    Form1->show();
    result = application.exec();
  }
  hid::SetMainThreadDispatcher(nullptr);
  return result;
}

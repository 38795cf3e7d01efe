// Lumetra: reads the measurements of the VORDA-2 USB stopwatch and saves
// them as a spreadsheet workbook.
#include <QApplication>

#include "app/form1.h"
#include "app/startup.h"

int main(int argc, char* argv[]) {
  // The program takes no command-line arguments: Qt gets the program path only,
  // so no option on the command line changes how it runs.
  int qtArgc = argc > 0 ? 1 : 0;
  char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};

  QApplication application(qtArgc, qtArgv);
  app::SetApplicationTitle();

  std::unique_ptr<TForm1> Form1 = app::CreateMainWindow();
  Form1->show();
  return application.exec();
}

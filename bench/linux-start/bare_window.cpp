// The yardstick for the program's start on Linux: a Qt program that does
// nothing but show one empty top-level window of the main window's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare"));
  window.setGeometry(145, 100, 782, 550);
  window.show();
  return QApplication::exec();
}

// The yardstick for the program's start on Linux: a Qt program that does
// nothing but show one empty top-level window of the main window's size.
// With --texts the window shows some of the main window's texts in its
// fonts as well (no grid, no buttons): the part of a start that any window
// with text pays, for the font matching and loading, before it maps.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

#include <cstring>

namespace {

struct Text {
  const char* family;
  int pixels;
  bool italic;
  int left, top;
  const char* text;
};

constexpr Text kTexts[] = {
    {"Arial", 27, false, 224, 8, "ТАБЛИЦА ИЗМЕРЕНИЙ"},      {"Arial", 27, true, 312, 40, "(время, с)"},
    {"Courier", 13, false, 16, 80, " № измерения  +1  +2"}, {"Arial", 21, false, 80, 352, "Секундомер не подключен"},
    {"Arial", 16, false, 504, 352, "Считать данные"},       {"Arial", 11, false, 344, 488, "Версия 1.0"},
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare"));
  window.setGeometry(145, 100, 782, 550);
  if (argc > 1 && std::strcmp(argv[1], "--texts") == 0) {
    for (const Text& t : kTexts) {
      QFont font(QString::fromLatin1(t.family));
      font.setPixelSize(t.pixels);
      font.setItalic(t.italic);
      auto* label = new QLabel(QString::fromUtf8(t.text), &window);
      label->setFont(font);
      label->move(t.left, t.top);
      label->adjustSize();
    }
  }
  window.show();
  return QApplication::exec();
}

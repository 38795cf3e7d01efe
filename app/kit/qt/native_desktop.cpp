// The desktop through Qt: the documents folder as the XDG user directories
// name it (QStandardPaths reads user-dirs.dirs, and falls back to
// ~/Documents), and the folder shown by whatever the desktop opens folders
// with (xdg-open).
#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

#include "app/kit/backend.h"
#include "app/kit/qt/native.h"

namespace kit {
namespace {

class SystemDesktop final : public Desktop {
 public:
  std::string DocumentsFolder() override {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
  }
  bool ShowFolder(const std::string& path) override {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(qt::ToQString(path)));
  }
};

}  // namespace

Desktop& NativeDesktop() {
  static SystemDesktop desktop;
  return desktop;
}

}  // namespace kit

// The application object over QApplication, and the event loop's services.
#include "app/kit/backend.h"

#include <QApplication>
#include <QMetaObject>
#include <QSocketNotifier>

#include "app/kit/qt/native.h"

namespace kit {
namespace {

Application* current = nullptr;

class SocketWatch final : public ReadableWatch {
 public:
  SocketWatch(int fd, std::function<void()> onReadable) : notifier_(fd, QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, std::move(onReadable));
  }

 private:
  QSocketNotifier notifier_;
};

}  // namespace

struct Application::Native {
  // QApplication keeps a reference to its argument count for its lifetime.
  int argc = 0;
  char* argv[2] = {nullptr, nullptr};
  std::unique_ptr<QApplication> application;
};

Application::Application(int argc, char** argv) : native_(std::make_unique<Native>()) {
  // The program takes no command-line arguments: Qt gets the program path
  // only, so no option on the command line changes how it runs.
  if (argc > 0) {
    native_->argc = 1;
    native_->argv[0] = argv[0];
  }
  native_->application = std::make_unique<QApplication>(native_->argc, native_->argv);
  current = this;
}

Application::~Application() { current = nullptr; }

void Application::SetTitle(const std::string& title) {
  title_ = title;
  // Only the name: a display name would be appended to every window caption
  // on some platforms ("Lumetra — Lumetro").
  QCoreApplication::setApplicationName(qt::ToQString(title));
}

int Application::Run(FormPeer& mainWindow) {
  mainWindow.Show();
  return QApplication::exec();
}

void Application::ProcessMessages() { QCoreApplication::processEvents(); }

Application* Application::Instance() { return current; }

std::string ApplicationTitle() { return current != nullptr ? current->Title() : std::string(); }

void PostToMainThread(std::function<void()> task) {
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr) return;
  // Queued to the application object, which lives on the user-interface thread.
  QMetaObject::invokeMethod(application, std::move(task), Qt::QueuedConnection);
}

std::unique_ptr<ReadableWatch> WatchReadable(int fd, std::function<void()> onReadable) {
  return std::make_unique<SocketWatch>(fd, std::move(onReadable));
}

}  // namespace kit

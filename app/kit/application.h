// The program's application object and the services of the system's event
// loop that the window and the layers below it use. One backend implements
// all of it (app/kit/qt/, app/kit/windows/).
#pragma once

#include <functional>
#include <memory>
#include <string>

class TForm;

namespace kit {

class Application {
 public:
  // Sets the system's window machinery up for this process; the first and
  // only instance. The command line is the system's business only: the
  // program itself takes no arguments.
  Application(int argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The application title: the program's name on the task bar and the
  // caption of its error box. Set it before the first window is created.
  void setTitle(const std::string& title);
  const std::string& title() const { return title_; }

  // Shows the main window and runs the event loop until it has closed;
  // returns the program's exit status.
  int run(TForm& mainForm);
  // Handles everything waiting in the event queue, then returns.
  void processMessages();

  static Application* instance();

 private:
  struct Native;
  std::unique_ptr<Native> native_;
  std::string title_;
};

// The application title, or empty before an application exists.
std::string ApplicationTitle();

// Runs `task` on the user-interface thread, later, in the order posted.
// Callable from any thread; tasks still queued when the application ends
// are dropped.
void PostToMainThread(std::function<void()> task);

// Delivers what waits in the event queue, dropping the mouse, keyboard,
// wheel and touch input among it. Called when a handler that held the
// window (a read, an export) returns: clicks the user made meanwhile must
// not start the same work again afterwards, one after another.
void DropQueuedInput();

// Calls `onReadable` on the user-interface thread whenever `fd` has data,
// for as long as the returned object lives. nullptr where the system offers
// no such watch (Windows, where devices announce themselves to windows).
class ReadableWatch {
 public:
  virtual ~ReadableWatch() = default;
};
std::unique_ptr<ReadableWatch> WatchReadable(int fd, std::function<void()> onReadable);

// The system clipboard, as text.
std::string ClipboardText();
void SetClipboardText(const std::string& text);

}  // namespace kit

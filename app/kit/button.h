// A push button whose click runs its OnClick handler. A handler that throws
// does not escape into the event loop: its message goes to the standard
// error box and the window works on. Input queued while the handler held
// the window is dropped when it returns.
#pragma once

#include <QPushButton>
#include <functional>

class TButton : public QPushButton {
  Q_OBJECT

 public:
  explicit TButton(QWidget* parent = nullptr);

  // Character height in pixels (stored layout).
  void setFontHeight(int pixels);

  // Sender is the button.
  std::function<void(QObject* Sender)> OnClick;
};

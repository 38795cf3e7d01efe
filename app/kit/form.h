// The base of the program's windows: a top-level window on the button-face
// background whose layout gives fonts in pixels and the window's place on
// the screen, with a create event and a close query.
#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>

class TForm : public QWidget {
  Q_OBJECT

 public:
  explicit TForm(QWidget* parent = nullptr);

  // Character height of the window font in pixels (stored layout).
  void setFontHeight(int pixels);
  // Top-left corner of the window's outer frame on the screen (stored layout).
  void setFramePosition(const QPoint& position);

  // Runs when the window's construction is complete.
  std::function<void(QObject* Sender)> OnCreate;
  // Asked before the window closes; the window closes when CanClose stays true.
  std::function<void(QObject* Sender, bool& CanClose)> OnCloseQuery;

 protected:
  // Fires OnCreate; an error it raises goes to the standard error box and
  // the window's creation goes on.
  void DoCreate();
  void closeEvent(QCloseEvent* event) override;
};

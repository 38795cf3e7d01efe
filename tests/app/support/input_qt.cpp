// Real input with Qt: QTest hands mouse and key events to the window's
// platform window, so that Qt delivers them as it does the user's own: focus
// on click, the mouse grab, context menus, shortcuts, Tab, keys to the
// widget with the focus.
#define QTEST_QPA_MOUSE_HANDLING
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "app/kit/qt/keys.h"
#include "app/kit/qt/control_peer.h"
#include "tests/app/support/native_ui.h"

namespace nativeui {
namespace {

QWidget& Client(TControl& control) {
  QWidget* widget = kit::qt::ClientWidgetOf(control.Peer());
  if (widget == nullptr) throw std::logic_error("not a control of the Qt backend");
  return *widget;
}

Qt::MouseButton QtButton(TMouseButton button) {
  switch (button) {
    case TMouseButton::mbLeft: return Qt::LeftButton;
    case TMouseButton::mbRight: return Qt::RightButton;
    case TMouseButton::mbMiddle: return Qt::MiddleButton;
  }
  return Qt::NoButton;
}

QPoint QtPoint(TPoint at) { return {at.X, at.Y}; }

}  // namespace

void PressMouse(TControl& control, TMouseButton button, TPoint at, TShiftState shift) {
  QTest::mousePress(&Client(control), QtButton(button), kit::qt::ModifiersOf(shift), QtPoint(at));
}

void MoveMouse(TControl& control, TPoint at, TShiftState) { QTest::mouseMove(&Client(control), QtPoint(at)); }

void ReleaseMouse(TControl& control, TMouseButton button, TPoint at, TShiftState shift) {
  QTest::mouseRelease(&Client(control), QtButton(button), kit::qt::ModifiersOf(shift), QtPoint(at));
}

void Click(TControl& control, TPoint at, TShiftState shift) {
  QTest::mouseClick(&Client(control), Qt::LeftButton, kit::qt::ModifiersOf(shift), QtPoint(at));
}

void PressKey(TControl& control, int key, TShiftState shift) {
  QWidget& widget = Client(control);
  if (!control.HasFocus()) {
    control.SetFocus();
    QCoreApplication::processEvents();
  }
  QTest::keyClick(widget.window()->windowHandle(), kit::qt::QtKeyOf(key), kit::qt::ModifiersOf(shift));
}

void QueueClicks(TControl& control, int count) {
  QWidget& widget = Client(control);
  const QPointF centre = QRectF(widget.rect()).center();
  for (int click = 0; click < count; ++click) {
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
      QCoreApplication::postEvent(
          &widget, new QMouseEvent(type, centre, widget.mapToGlobal(centre), Qt::LeftButton, held, Qt::NoModifier));
    }
  }
}

std::vector<std::string> ChooseFromContextMenu(TControl& control, TPoint at, const std::string& choose) {
  std::vector<std::string> items;
  bool seen = false;
  // Looks for the menu once it is up, inside its own event loop.
  QTimer probe;
  probe.setInterval(5);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr || seen) return;
    seen = true;
    QAction* chosen = nullptr;
    for (QAction* action : menu->actions()) {
      std::string item = action->text().toStdString();
      if (!action->shortcut().isEmpty())
        item += "\t" + action->shortcut().toString(QKeySequence::NativeText).toStdString();
      items.push_back(item);
      if (!choose.empty() && action->text().toStdString() == choose) chosen = action;
    }
    if (chosen != nullptr)
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
    else
      menu->close();
  });
  probe.start();
  // The right button asks for the menu where the system does (on its press
  // here, on its release on Windows).
  QTest::mouseClick(&Client(control), Qt::RightButton, {}, QtPoint(at));
  probe.stop();
  return items;
}

}  // namespace nativeui

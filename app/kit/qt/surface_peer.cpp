// The areas the kit paints itself, on a QAbstractScrollArea. The grid's
// (framed) has the sunken two-pixel frame, scroll bars as needed, and hands
// its painting and input to the kit's grid; a paint box's (plain) has no
// frame, no bars and no focus, and hands on its painting only.
#include <QAbstractScrollArea>
#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <optional>

#include "app/kit/backend.h"
#include "app/kit/qt/control_peer.h"
#include "app/kit/qt/keys.h"
#include "app/kit/qt/paint_device.h"

namespace kit {
namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState shift = qt::ShiftOf(modifiers);
  if (buttons & Qt::LeftButton) shift |= ssLeft;
  if (buttons & Qt::RightButton) shift |= ssRight;
  return shift;
}

std::optional<TMouseButton> ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return TMouseButton::mbLeft;
    case Qt::RightButton: return TMouseButton::mbRight;
    case Qt::MiddleButton: return TMouseButton::mbMiddle;
    default: return std::nullopt;
  }
}

class SurfaceWidget final : public QAbstractScrollArea {
 public:
  SurfaceWidget(QWidget* parent, SurfaceKind kind) : QAbstractScrollArea(parent), framed_(kind == SurfaceKind::Framed) {
    if (framed_) {
      // The sunken two-pixel edge of a framed control.
      setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
      setFocusPolicy(Qt::StrongFocus);
      setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    } else {
      setFrameStyle(QFrame::NoFrame);
      setFocusPolicy(Qt::NoFocus);
      setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      // Every pixel is the control's: nothing of the window shows through.
      viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
  }

  // Attached and detached by the control (backend.h).
  SurfaceEvents* events = nullptr;
  // While the control sets the bars, their moves are its own.
  bool settingBars = false;

 protected:
  // A plain surface's mouse, and its context menu, go on to the window.
  bool viewportEvent(QEvent* event) override {
    if (!framed_) {
      switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu: event->ignore(); return false;
        default: break;
      }
    }
    return QAbstractScrollArea::viewportEvent(event);
  }

  void paintEvent(QPaintEvent* event) override {
    if (events == nullptr) return;
    QPainter painter(viewport());
    qt::NativePaintDevice device(painter, palette());
    events->Paint(device, qt::ToTRect(event->rect()));
  }

  void mousePressEvent(QMouseEvent* event) override {
    const std::optional<TMouseButton> button = ButtonOf(event->button());
    if (events != nullptr && button)
      events->MouseDown(*button, ShiftOf(event->modifiers(), event->buttons()), At(event));
    // Only the left button selects; the others go on to the window.
    if (event->button() != Qt::LeftButton) event->ignore();
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (events != nullptr) events->MouseMove(ShiftOf(event->modifiers(), event->buttons()), At(event));
    if (!(event->buttons() & Qt::LeftButton)) event->ignore();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    const std::optional<TMouseButton> button = ButtonOf(event->button());
    if (events != nullptr && button) events->MouseUp(*button, ShiftOf(event->modifiers(), event->buttons()), At(event));
    event->ignore();
  }

  void keyPressEvent(QKeyEvent* event) override {
    // Every key that means "copy" here (Ctrl+C, Ctrl+Insert) reaches the
    // grid as Ctrl+C.
    const bool copy = event->matches(QKeySequence::Copy);
    const int key = copy ? key::C : qt::VirtualKeyOf(event->key());
    const TShiftState shift = copy ? TShiftState(ssCtrl) : qt::ShiftOf(event->modifiers());
    if (events == nullptr || key == 0 || !events->KeyDown(key, shift)) event->ignore();
  }

  void contextMenuEvent(QContextMenuEvent* event) override {
    // From the mouse or the keyboard, the point is the viewport's.
    if (events != nullptr) events->ContextMenu(ToClient(event->globalPos()));
  }

  void focusInEvent(QFocusEvent* event) override {
    QAbstractScrollArea::focusInEvent(event);
    if (events != nullptr) events->FocusChanged(true);
  }
  void focusOutEvent(QFocusEvent* event) override {
    QAbstractScrollArea::focusOutEvent(event);
    if (events != nullptr) events->FocusChanged(false);
  }

  void resizeEvent(QResizeEvent* event) override {
    QAbstractScrollArea::resizeEvent(event);
    if (events != nullptr) events->Resized();
  }

  void scrollContentsBy(int dx, int dy) override {
    viewport()->update();
    if (events == nullptr || settingBars) return;
    if (dx != 0) events->Scrolled(ScrollBar::Horizontal, horizontalScrollBar()->value());
    if (dy != 0) events->Scrolled(ScrollBar::Vertical, verticalScrollBar()->value());
  }

 private:
  const bool framed_;

  TPoint At(const QMouseEvent* event) const {
    const QPoint at = event->position().toPoint();
    return {at.x(), at.y()};
  }
  TPoint ToClient(const QPoint& global) const {
    const QPoint at = viewport()->mapFromGlobal(global);
    return {at.x(), at.y()};
  }
};

class NativeSurface final : public qt::NativeControl<SurfacePeer> {
 public:
  explicit NativeSurface(SurfaceWidget* surface) : NativeControl(surface), surface_(surface) {}

  void SetEvents(SurfaceEvents* events) override {
    if (Widget() != nullptr) surface_->events = events;
  }

  QWidget* ClientWidget() const override { return surface_->viewport(); }

  // A surface shows no text of its own.
  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() const override { return text_; }

  TSize ClientSize() const override { return Size(surface_->viewport()->size()); }
  TSize ClientSizeWithoutBars() const override { return Size(surface_->maximumViewportSize()); }
  int ScrollBarExtent() const override {
    return surface_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, surface_);
  }
  void SetScrollBar(ScrollBar bar, int maximum, int page, int position) override {
    QScrollBar* scrollBar = Bar(bar);
    surface_->settingBars = true;
    scrollBar->setRange(0, maximum);
    scrollBar->setPageStep(page);
    scrollBar->setValue(position);
    surface_->settingBars = false;
  }
  int ScrollBarMaximum(ScrollBar bar) const override { return Bar(bar)->maximum(); }

  void PopupMenu(TPoint at, const std::vector<MenuItem>& items) override {
    QMenu menu(surface_);
    for (const MenuItem& item : items) {
      QAction* action = menu.addAction(qt::ToQString(item.text));
      if (!item.shortcut.empty()) {
        action->setShortcut(QKeySequence(qt::ToQString(item.shortcut)));
        action->setShortcutContext(Qt::WidgetShortcut);
      }
      QObject::connect(action, &QAction::triggered, action, item.action);
    }
    menu.exec(surface_->viewport()->mapToGlobal(QPoint(at.X, at.Y)));
  }

  Image GrabClient() const override { return qt::ToImage(surface_->viewport()->grab().toImage()); }

 private:
  static TSize Size(const QSize& size) { return {size.width(), size.height()}; }
  QScrollBar* Bar(ScrollBar bar) const {
    return bar == ScrollBar::Horizontal ? surface_->horizontalScrollBar() : surface_->verticalScrollBar();
  }

  SurfaceWidget* surface_;
  std::string text_;
};

}  // namespace

std::unique_ptr<SurfacePeer> CreateSurfacePeer(FormPeer& parent, SurfaceKind kind) {
  return std::make_unique<NativeSurface>(new SurfaceWidget(qt::FormWidgetOf(parent), kind));
}

}  // namespace kit

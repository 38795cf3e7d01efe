// The top-level window: a QWidget on the button-face background whose close
// asks the form first.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>

#include "app/kit/backend.h"
#include "app/kit/qt/control_peer.h"

namespace kit {
namespace {

// An owned form is the owner's dialog-like window: caption and close button.
constexpr Qt::WindowFlags kOwnedWindow =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

class FormWidget final : public QWidget {
 public:
  explicit FormWidget(QWidget* owner) : QWidget(owner, owner != nullptr ? kOwnedWindow : Qt::Window) {
    QPalette colors = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
      colors.setColor(group, QPalette::Window, colors.color(group, QPalette::Button));
    setPalette(colors);
  }

  FormEvents* events = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (events == nullptr || events->CloseQuery())
      event->accept();
    else
      event->ignore();
  }
};

class NativeForm final : public qt::NativeControl<FormPeer> {
 public:
  explicit NativeForm(FormWidget* form) : NativeControl(form), form_(form) {
    // The desktop names the program's window by the application title
    // ("Lumetro") where it names it apart from the caption.
    const std::string title = ApplicationTitle();
    if (!title.empty()) form_->setWindowIconText(qt::ToQString(title));
  }

  // An owned window's widget may have gone with its owner's already.
  void SetEvents(FormEvents* events) override {
    if (Widget() != nullptr) form_->events = events;
  }

  void SetText(const std::string& text) override { form_->setWindowTitle(qt::ToQString(text)); }
  std::string Text() const override { return qt::ToUtf8(form_->windowTitle()); }

  // The frame is the window manager's: the window gets the client size the
  // layout was made with, and its frame's corner goes where the layout says.
  void SetPlacement(const WindowPlacement& placement) override {
    if (form_->parentWidget() != nullptr)
      form_->setFixedSize(placement.clientSize.Width, placement.clientSize.Height);
    else
      form_->resize(placement.clientSize.Width, placement.clientSize.Height);
    form_->move(placement.framePosition.X, placement.framePosition.Y);
  }
  TRect FrameRect() const override { return qt::ToTRect(form_->frameGeometry()); }
  TSize ClientSize() const override { return {form_->width(), form_->height()}; }

  void Show() override { form_->show(); }
  bool Close() override { return form_->close(); }

  ControlPeer* ChildAt(TPoint at) const override {
    ControlPeer* peer = qt::PeerOf(form_->childAt(at.X, at.Y));
    return peer == static_cast<const ControlPeer*>(this) ? nullptr : peer;
  }

  void SetTabOrder(const std::vector<ControlPeer*>& order) override {
    for (std::size_t i = 1; i < order.size(); ++i)
      QWidget::setTabOrder(qt::WidgetOf(*order[i - 1]), qt::WidgetOf(*order[i]));
  }

  std::vector<ControlPeer*> TabCycle(ControlPeer* from) const override {
    // The way Tab goes: along the focus chain, stopping at the window's
    // enabled widgets that take the focus by Tab.
    std::vector<ControlPeer*> cycle;
    QWidget* const start = qt::WidgetOf(*from);
    QWidget* widget = start;
    do {
      widget = widget->nextInFocusChain();
      if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() && widget->window() == form_)
        cycle.push_back(qt::PeerOf(widget));
    } while (widget != start && cycle.size() < 100);
    return cycle;
  }

  Image Icon(int size) const override { return qt::ToImage(form_->windowIcon().pixmap(size, size).toImage()); }
  std::string TaskBarText() const override {
    const QString text = form_->windowIconText();
    return qt::ToUtf8(text.isEmpty() ? form_->windowTitle() : text);
  }

 private:
  FormWidget* form_;
};

}  // namespace

std::unique_ptr<FormPeer> CreateFormPeer(FormPeer* owner) {
  return std::make_unique<NativeForm>(new FormWidget(owner != nullptr ? qt::FormWidgetOf(*owner) : nullptr));
}

}  // namespace kit

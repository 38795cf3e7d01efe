#include "app/kit/qt/control_peer.h"

#include <QVariant>

#include "app/kit/backend.h"

namespace kit::qt {
namespace {

// The dynamic property that leads from a widget to its peer.
constexpr char kPeerProperty[] = "lumetraKitPeer";

}  // namespace

void AttachPeer(QWidget* widget, ControlPeer* peer) {
  widget->setProperty(kPeerProperty, QVariant::fromValue(static_cast<void*>(peer)));
}

ControlPeer* PeerOf(const QWidget* widget) {
  for (; widget != nullptr; widget = widget->parentWidget()) {
    const QVariant peer = widget->property(kPeerProperty);
    if (peer.isValid()) return static_cast<ControlPeer*>(peer.value<void*>());
  }
  return nullptr;
}

QWidget* WidgetOf(const ControlPeer& peer) {
  const auto* owner = dynamic_cast<const WidgetOwner*>(&peer);
  return owner != nullptr ? owner->Widget() : nullptr;
}

QWidget* ClientWidgetOf(const ControlPeer& peer) {
  const auto* owner = dynamic_cast<const WidgetOwner*>(&peer);
  return owner != nullptr ? owner->ClientWidget() : nullptr;
}

QWidget* FormWidgetOf(FormPeer& form) { return WidgetOf(form); }

}  // namespace kit::qt

#include "app/kit/dialogs.h"

#include <QCoreApplication>

#include "app/kit/qt_dialogs.h"

namespace app {
namespace {

Dialogs* installed = nullptr;

}  // namespace

Dialogs& CurrentDialogs() {
  if (installed != nullptr) return *installed;
  static QtDialogs qt_dialogs;
  return qt_dialogs;
}

void SetDialogs(Dialogs* dialogs) { installed = dialogs; }

ScopedDialogs::ScopedDialogs(Dialogs& dialogs) : previous_(installed) { installed = &dialogs; }

ScopedDialogs::~ScopedDialogs() { installed = previous_; }

QString ErrorBoxText(const QString& message) {
  // A character outside the basic plane ends in a low surrogate, which sorts
  // after the full stop just as its code point does.
  if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
  return message;
}

void ShowErrorBox(const QString& message) {
  CurrentDialogs().showError(QCoreApplication::applicationName(), ErrorBoxText(message));
}

int ConfirmBox(const QString& text) {
  return CurrentDialogs().confirm(QStringLiteral("Confirm"), text) == kIdYes ? kIdYes : kIdNo;
}

}  // namespace app

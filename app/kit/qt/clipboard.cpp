// The clipboard as text, through Qt's.
#include <QClipboard>
#include <QGuiApplication>

#include "app/kit/backend.h"
#include "app/kit/qt/native.h"

namespace kit {

std::string ClipboardText() { return qt::ToUtf8(QGuiApplication::clipboard()->text()); }

void SetClipboardText(const std::string& text) { QGuiApplication::clipboard()->setText(qt::ToQString(text)); }

}  // namespace kit

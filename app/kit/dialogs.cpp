#include "app/kit/dialogs.h"

#include "app/kit/backend.h"

namespace kit {
namespace {

Dialogs* installed = nullptr;

}  // namespace

Dialogs& CurrentDialogs() { return installed != nullptr ? *installed : NativeDialogs(); }

void SetDialogs(Dialogs* dialogs) { installed = dialogs; }

ScopedDialogs::ScopedDialogs(Dialogs& dialogs) : previous_(installed) { installed = &dialogs; }

ScopedDialogs::~ScopedDialogs() { installed = previous_; }

std::string ErrorBoxText(const std::string& message) {
  // Any character beyond ASCII ends in a byte of 0x80 or more, and its code
  // point sorts after the full stop as well.
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + '.';
  return message;
}

void ShowErrorBox(const std::string& message) { CurrentDialogs().ShowError(ApplicationTitle(), ErrorBoxText(message)); }

void ShowInformationBox(const std::string& text) { CurrentDialogs().ShowInformation(ApplicationTitle(), text); }

int ConfirmBox(const std::string& text) { return CurrentDialogs().Confirm("Confirm", text) == kIdYes ? kIdYes : kIdNo; }

}  // namespace kit

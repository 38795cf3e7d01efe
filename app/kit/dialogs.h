// The modal boxes and dialogs of the program, behind one replaceable seam.
//
// The program runs with the system's (NativeDialogs(), backend.h).
// Tests install their own Dialogs so that no test ever waits on a modal box.
#pragma once

#include <string>

#include "app/kit/printing.h"

namespace kit {

// Results of the confirmation box, as the system's message boxes number them.
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

struct SaveFileRequest {
  std::string defaultExt;  // appended when the user types a name without one
  std::string filter;      // "Description|pattern|Description|pattern..."
  std::string fileName;    // offered at start; the chosen path on success
  bool overwritePrompt = false;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Stop icon, one OK button; returns when the user has closed the box.
  virtual void ShowError(const std::string& caption, const std::string& text) = 0;
  // The same with the information icon: a notice, not an error.
  virtual void ShowInformation(const std::string& caption, const std::string& text) = 0;
  // Question icon, "&Yes" (the default button) and "&No" (also Esc and
  // closing the box); returns kIdYes or kIdNo.
  virtual int Confirm(const std::string& caption, const std::string& text) = 0;
  // Save-file dialog. On OK stores the full path, as the system writes it,
  // in request.fileName and returns true; on Cancel leaves the request alone
  // and returns false.
  virtual bool SaveFile(SaveFileRequest& request) = 0;
  // The system's print dialog, for a job of one page; on OK the page is
  // printed on the printer chosen there. Cancelled when the user cancels
  // (nothing printed); Failed with the reason when no printer could take it.
  virtual PrintResult Print(const PrintJob& job) = 0;
};

// The dialogs in use: the installed ones, or the system's when none is.
Dialogs& CurrentDialogs();
// nullptr goes back to the system's. The dialogs must outlive the installation.
void SetDialogs(Dialogs* dialogs);

// Installs dialogs for the lifetime of the object, then restores the old ones.
class ScopedDialogs {
 public:
  explicit ScopedDialogs(Dialogs& dialogs);
  ~ScopedDialogs();
  ScopedDialogs(const ScopedDialogs&) = delete;
  ScopedDialogs& operator=(const ScopedDialogs&) = delete;

 private:
  Dialogs* previous_;
};

// The text of the standard error box: the message with a full stop appended
// when its last character sorts after the full stop (so not after "." or
// after ")", "!", a space and the like).
std::string ErrorBoxText(const std::string& message);
// The standard error box: captioned with the application title.
void ShowErrorBox(const std::string& message);

// The confirmation box, captioned "Confirm"; returns kIdYes or kIdNo.
int ConfirmBox(const std::string& text);

// A notice, captioned with the application title.
void ShowInformationBox(const std::string& text);

}  // namespace kit

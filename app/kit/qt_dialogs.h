// The program's dialogs, shown with Qt: message boxes and the save-file
// dialog, modal to the active window.
#pragma once

#include <QStringList>
#include <memory>

#include "app/kit/dialogs.h"

class QFileDialog;
class QMessageBox;

namespace app {

class QtDialogs final : public Dialogs {
 public:
  void showError(const QString& caption, const QString& text) override;
  int confirm(const QString& caption, const QString& text) override;
  bool saveFile(SaveFileRequest& request) override;
};

// The boxes and the dialog set up as shown, without running them.
std::unique_ptr<QMessageBox> MakeErrorBox(const QString& caption, const QString& text);
std::unique_ptr<QMessageBox> MakeConfirmBox(const QString& caption, const QString& text);
void ConfigureSaveDialog(QFileDialog& dialog, const SaveFileRequest& request);

// "Description|pattern;pattern|..." as Qt name filters: "Description (pattern pattern)".
// A description that already ends with its patterns in brackets is kept as it is.
QStringList QtNameFilters(const QString& filter);

}  // namespace app

#include "app/kit/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace app {

std::unique_ptr<QMessageBox> MakeErrorBox(const QString& caption, const QString& text) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                                           QApplication::activeWindow());
  box->setTextFormat(Qt::PlainText);
  box->setDefaultButton(QMessageBox::Ok);
  box->setEscapeButton(QMessageBox::Ok);
  return box;
}

std::unique_ptr<QMessageBox> MakeConfirmBox(const QString& caption, const QString& text) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Question, caption, text,
                                           QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
  box->setTextFormat(Qt::PlainText);
  box->button(QMessageBox::Yes)->setText(QStringLiteral("&Yes"));
  box->button(QMessageBox::No)->setText(QStringLiteral("&No"));
  box->setDefaultButton(QMessageBox::Yes);
  box->setEscapeButton(QMessageBox::No);
  return box;
}

void QtDialogs::showError(const QString& caption, const QString& text) { MakeErrorBox(caption, text)->exec(); }

int QtDialogs::confirm(const QString& caption, const QString& text) {
  auto box = MakeConfirmBox(caption, text);
  box->exec();
  return box->clickedButton() == box->button(QMessageBox::Yes) ? kIdYes : kIdNo;
}

QStringList QtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList result;
  // An unpaired trailing description has no pattern and is dropped.
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    QString patterns = parts[i + 1];
    patterns.replace(u';', u' ');
    const QString bracketed = u'(' + patterns + u')';
    result << (description.endsWith(bracketed) ? description : description + u' ' + bracketed);
  }
  return result;
}

void ConfigureSaveDialog(QFileDialog& dialog, const SaveFileRequest& request) {
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(QtNameFilters(request.filter));
  dialog.setDefaultSuffix(request.defaultExt);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
}

bool QtDialogs::saveFile(SaveFileRequest& request) {
  QFileDialog dialog(QApplication::activeWindow());
  ConfigureSaveDialog(dialog, request);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  request.fileName = chosen.front();
  return true;
}

}  // namespace app

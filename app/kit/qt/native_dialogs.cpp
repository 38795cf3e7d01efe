// The program's boxes and its save dialog, shown with Qt, modal to the
// active window.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "app/kit/backend.h"
#include "app/kit/qt/printing.h"
#include "app/kit/qt/native.h"

namespace kit {
namespace {

// "Description|pattern;pattern|..." as Qt name filters: "Description (pattern pattern)".
// A description that already ends with its patterns in brackets is kept as it is.
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

class SystemDialogs final : public Dialogs {
 public:
  void ShowError(const std::string& caption, const std::string& text) override {
    Notice(QMessageBox::Critical, caption, text);
  }

  void ShowInformation(const std::string& caption, const std::string& text) override {
    Notice(QMessageBox::Information, caption, text);
  }

  int Confirm(const std::string& caption, const std::string& text) override {
    QMessageBox box(QMessageBox::Question, qt::ToQString(caption), qt::ToQString(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    // The program's own texts, whatever language Qt speaks.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Yes"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes) ? kIdYes : kIdNo;
  }

  bool SaveFile(SaveFileRequest& request) override {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QtNameFilters(qt::ToQString(request.filter)));
    dialog.setDefaultSuffix(qt::ToQString(request.defaultExt));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.fileName.empty()) dialog.selectFile(qt::ToQString(request.fileName));
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    // The dialog answers with "/" separators everywhere; the program wants
    // the path as the system writes it.
    request.fileName = qt::ToUtf8(QDir::toNativeSeparators(chosen.front()));
    return true;
  }

  PrintResult Print(const PrintJob& job) override {
    QPrinter printer(QPrinter::HighResolution);
    qt::PreparePrinter(printer, job);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    // One page, all of it: nothing to choose but the printer, the paper and the copies.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) return {PrintOutcome::Cancelled, {}};
    return qt::PrintOn(printer, job);
  }

 private:
  static void Notice(QMessageBox::Icon icon, const std::string& caption, const std::string& text) {
    QMessageBox box(icon, qt::ToQString(caption), qt::ToQString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
  }
};

}  // namespace

Dialogs& NativeDialogs() {
  static SystemDialogs dialogs;
  return dialogs;
}

}  // namespace kit

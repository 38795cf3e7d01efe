// The save-file dialog component of the main window. It keeps its settings
// and the last chosen path between uses, so the next save offers that path
// again. It is shown through the dialog seam (dialogs.h).
#pragma once

#include <QObject>
#include <QString>

class TSaveDialog : public QObject {
  Q_OBJECT

 public:
  explicit TSaveDialog(QObject* parent = nullptr);

  QString defaultExt() const { return defaultExt_; }
  void setDefaultExt(const QString& ext) { defaultExt_ = ext; }
  QString filter() const { return filter_; }
  void setFilter(const QString& filter) { filter_ = filter; }
  QString fileName() const { return fileName_; }
  void setFileName(const QString& name) { fileName_ = name; }
  bool overwritePrompt() const { return overwritePrompt_; }
  void setOverwritePrompt(bool on) { overwritePrompt_ = on; }

  // Shows the dialog modally. True when the user confirmed a file; its full
  // path is then fileName(). On cancel fileName() is unchanged.
  bool execute();

 private:
  QString defaultExt_;
  QString filter_;
  QString fileName_;
  bool overwritePrompt_ = false;
};

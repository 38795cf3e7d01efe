// The save-file dialog component of the main window. It keeps its settings
// and the last chosen path between uses, so the next save offers that path
// again. It is shown through the dialog seam (dialogs.h).
#pragma once

#include <string>

#include "base/component.h"

class TSaveDialog : public TComponent {
 public:
  explicit TSaveDialog(TComponent* owner);

  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& ext) { defaultExt_ = ext; }
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& filter) { filter_ = filter; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name) { fileName_ = name; }
  bool OverwritePrompt() const { return overwritePrompt_; }
  void SetOverwritePrompt(bool on) { overwritePrompt_ = on; }

  // Shows the dialog modally. True when the user confirmed a file; its full
  // path, as the system writes it, is then FileName(). On cancel FileName()
  // is unchanged.
  bool Execute();

 private:
  std::string defaultExt_;
  std::string filter_;
  std::string fileName_;
  bool overwritePrompt_ = false;
};

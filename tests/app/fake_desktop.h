// A desktop for tests: its Documents folder is a folder of the test's, and
// the folders the program asks to show are recorded, not shown.
#pragma once

#include <string>
#include <vector>

#include "app/kit/desktop.h"

class FakeDesktop : public kit::Desktop {
 public:
  explicit FakeDesktop(std::string documents = {}) : documents(std::move(documents)) {}
  std::string DocumentsFolder() override { return documents; }
  bool ShowFolder(const std::string& path) override {
    shownFolders.push_back(path);
    return true;
  }

  std::string documents;  // empty: the system names none
  std::vector<std::string> shownFolders;
};

// A fresh folder for each test that saves files.
#pragma once

#include <filesystem>
#include <string>

namespace spreadsheet::testing {

// An empty folder under the system's temporary folder, named after the
// running test; removed with everything in it at the end.
class TestFolder {
 public:
  explicit TestFolder(const std::string& prefix);
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace spreadsheet::testing

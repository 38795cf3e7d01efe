// A fresh folder for each test that saves files, and what those tests do
// with the files in it, on Linux and on Windows alike.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
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

  const std::filesystem::path& Path() const { return path_; }
  // The UTF-8 path of `name` (UTF-8) in the folder, as the program names files.
  std::string operator/(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// A path as UTF-8 and back; std::filesystem's own narrow strings are in the
// ANSI code page on Windows.
std::string Utf8Path(const std::filesystem::path& path);
std::filesystem::path PathOf(const std::string& utf8);

std::string ReadWholeFile(const std::filesystem::path& path);

// Runs `action` while the existing file `file` cannot be replaced, and
// answers what it returned: on Linux its folder is a read-only mount, seen
// by a child process alone (nothing is answered where the system grants no
// private mount namespace); on Windows the file is held open without any
// sharing, as by a program that has it open.
std::optional<std::string> WhileUnreplaceable(const std::filesystem::path& file,
                                              const std::function<std::string()>& action);

}  // namespace spreadsheet::testing

// A folder of its own for a test's files, removed with everything in it
// when the test ends.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

// A UTF-8 path for the file streams and the file system (on Windows a plain
// string would be taken in the ANSI code page).
inline std::filesystem::path Utf8Path(const std::string& path) { return std::u8string(path.begin(), path.end()); }

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> made{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
      root_ = std::filesystem::temp_directory_path() /
              ("lumetra-test-" + std::to_string(stamp) + "-" + std::to_string(made++));
      if (std::filesystem::create_directory(root_)) return;
    }
    throw std::runtime_error("no test folder could be made");
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // A name inside the folder, as a UTF-8 path.
  std::string path(const std::string& name) const {
    const std::u8string utf8 = (root_ / Utf8Path(name)).u8string();
    return std::string(utf8.begin(), utf8.end());
  }

 private:
  std::filesystem::path root_;
};

#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

namespace spreadsheet::testing {
namespace fs = std::filesystem;

namespace {

// Tests of several builds may run at once: a random part keeps their folders apart.
// Outside a test (a test program of its own, without GoogleTest's runner)
// the prefix alone names the folder.
std::string UniqueName(const std::string& prefix) {
  std::random_device random;
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return prefix + "-" + (test ? std::string(test->name()) + "-" : "") + std::to_string(random());
}

}  // namespace

TestFolder::TestFolder(const std::string& prefix) : path_(fs::temp_directory_path() / PathOf(UniqueName(prefix))) {
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TestFolder::~TestFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TestFolder::operator/(const std::string& name) const { return Utf8Path(path_ / PathOf(name)); }

std::string Utf8Path(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace spreadsheet::testing

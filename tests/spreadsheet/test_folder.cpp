#include "test_folder.h"

#include <gtest/gtest.h>

#include <random>

namespace spreadsheet::testing {
namespace fs = std::filesystem;

namespace {

// Tests of several builds may run at once: a random part keeps their folders apart.
std::string UniqueName(const std::string& prefix) {
  std::random_device random;
  return prefix + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
         std::to_string(random());
}

}  // namespace

TestFolder::TestFolder(const std::string& prefix) : path_(fs::temp_directory_path() / UniqueName(prefix)) {
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TestFolder::~TestFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

}  // namespace spreadsheet::testing

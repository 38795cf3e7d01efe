// A file that cannot be replaced on Windows: one that another handle holds
// open without sharing, as a program that has the file open does.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/test_folder.h"

namespace spreadsheet::testing {

std::optional<std::string> WhileUnreplaceable(const std::filesystem::path& file,
                                              const std::function<std::string()>& action) {
  const HANDLE held =
      CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot hold " << Utf8Path(file) << " open";
    return std::nullopt;
  }
  std::string outcome = action();
  CloseHandle(held);
  return outcome;
}

}  // namespace spreadsheet::testing

// The save on the system's own file functions (run under Wine): a Cyrillic
// name, replacing a file, and failures whose reason is the system's text in
// the user's language. The same tests run again with a Russian locale
// (tests/spreadsheet/CMakeLists.txt), where that text is Cyrillic.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "base/utf.h"
#include "export/spreadsheet/save.h"
#include "export/spreadsheet/spreadsheet_error.h"
#include "tests/support/sample_workbooks.h"
#include "tests/support/test_folder.h"

namespace spreadsheet {
namespace {

namespace fs = std::filesystem;

// The system's text for `code` the other way round from the program: in the
// ANSI code page, then decoded from it. Without its final full stop.
std::string AnsiSystemText(DWORD code) {
  char* buffer = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::wstring wide(length, L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_ACP, 0, buffer, static_cast<int>(length), wide.data(), static_cast<int>(wide.size()))));
  LocalFree(buffer);
  while (!wide.empty() &&
         (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ' || wide.back() == L'.')) {
    wide.pop_back();
  }
  return base::Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

bool HasCyrillic(const std::string& utf8) {
  for (const char16_t unit : base::Utf8ToUtf16(utf8)) {
    if (unit >= 0x0400 && unit <= 0x04FF) return true;
  }
  return false;
}

class WindowsSave : public ::testing::Test {
 protected:
  std::string ErrorOf(const std::string& path) const {
    try {
      Save(workbook_, path);
    } catch (const SaveError& error) {
      return error.what();
    }
    return "no error";
  }

  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(scratch_.Path()))
      names.insert(testing::Utf8Path(entry.path().filename()));
    return names;
  }

  testing::TestFolder scratch_{"lumetra-save"};
  Workbook workbook_ = testing::BuildMeasurementWorkbook(testing::FullGrid());
};

TEST_F(WindowsSave, ReplacesAFileUnderACyrillicNameAndLeavesNoTemporary) {
  const std::string path = scratch_ / "Измерения 08.12.xls";
  std::ofstream(testing::PathOf(path), std::ios::binary) << "old";
  Save(workbook_, path);
  EXPECT_EQ(testing::ReadWholeFile(testing::PathOf(path)).substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
  EXPECT_EQ(Names(), std::set<std::string>{"Измерения 08.12.xls"});
}

TEST_F(WindowsSave, FailuresGiveTheSystemsReasonAndKeepWhatWasThere) {
  const std::string missing = scratch_ / "нет\\x.xls";
  const std::string reason = AnsiSystemText(ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(ErrorOf(missing), "Не удалось сохранить файл «" + missing + "»: " + reason);
  if (PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_RUSSIAN) {
    EXPECT_TRUE(HasCyrillic(reason)) << "the system answers in Russian: " << reason;
  }

  fs::create_directory(testing::PathOf(scratch_ / "папка.xls"));
  EXPECT_EQ(ErrorOf(scratch_ / "папка.xls"),
            "Не удалось сохранить файл «" + (scratch_ / "папка.xls") + "»: " + AnsiSystemText(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(fs::is_directory(testing::PathOf(scratch_ / "папка.xls")));
  EXPECT_EQ(Names(), std::set<std::string>{"папка.xls"});
}

}  // namespace
}  // namespace spreadsheet

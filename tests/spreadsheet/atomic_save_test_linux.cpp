#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "export/spreadsheet/save.h"
#include "export/spreadsheet/spreadsheet_error.h"
#include "tests/support/read_only_folder_linux.h"
#include "tests/support/sample_workbooks.h"
#include "tests/support/test_folder.h"

namespace spreadsheet {
namespace {

namespace fs = std::filesystem;

class SaveTest : public ::testing::Test {
 protected:
  static void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  // The folder holds exactly these names: nothing left behind by a save.
  void ExpectFolderHolds(std::set<std::string> names) const {
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder_)) found.insert(entry.path().filename().string());
    EXPECT_EQ(found, names);
  }

  static std::string ErrorOf(const Workbook& workbook, const std::string& path) {
    try {
      Save(workbook, path);
    } catch (const SaveError& error) {
      return error.what();
    }
    return "no error";
  }

  testing::TestFolder scratch_{"lumetra-save"};
  const fs::path& folder_ = scratch_.Path();
  Workbook workbook_ = testing::BuildMeasurementWorkbook(testing::FullGrid());
};

TEST_F(SaveTest, ExtensionChoosesTheFormatAndSaveReplacesAnExistingFile) {
  EXPECT_EQ(FormatForPath("a.xlsx"), FileFormat::Xlsx);
  EXPECT_EQ(FormatForPath("/p/A.XlSx"), FileFormat::Xlsx);
  for (const char* path : {"a.xls", "a.XLS", "a", "a.xlsx.bak", "xlsx", "a.txt", "a.xlsm"}) {
    EXPECT_EQ(FormatForPath(path), FileFormat::Xls) << path;
  }

  const fs::path xls = folder_ / "table.xls";
  const fs::path xlsx = folder_ / "table.XLSX";
  WriteText(xls, "old content");
  WriteText(xlsx, "old content");
  ::chmod(xls.c_str(), 0640);
  Save(workbook_, xls.string());
  Save(workbook_, xlsx.string());
  EXPECT_EQ(testing::ReadWholeFile(xls).substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");  // a compound file
  EXPECT_EQ(testing::ReadWholeFile(xlsx).substr(0, 2), "PK");                               // a zip package
  EXPECT_EQ(fs::status(xls).permissions() & fs::perms::all, fs::perms(0640)) << "permissions of the replaced file";
  ExpectFolderHolds({"table.xls", "table.XLSX"});
}

TEST_F(SaveTest, FailureNamesTheFileAndTheSystemReason) {
  const std::string path = (folder_ / "missing" / "x.xls").string();
  EXPECT_EQ(ErrorOf(workbook_, path), "Не удалось сохранить файл «" + path + "»: No such file or directory");
  EXPECT_EQ(ErrorOf(workbook_, ""), "Не удалось сохранить файл «»: не указано имя файла");
}

TEST_F(SaveTest, PathThatIsAFolderFailsAndLeavesItAlone) {
  fs::create_directory(folder_ / "sub.xls");
  WriteText(folder_ / "sub.xls" / "inside", "x");
  for (const std::string& path : {(folder_ / "sub.xls").string(), (folder_ / "sub.xls").string() + "/"}) {
    EXPECT_EQ(ErrorOf(workbook_, path), "Не удалось сохранить файл «" + path + "»: Is a directory");
  }
  EXPECT_TRUE(fs::is_directory(folder_ / "sub.xls"));
  EXPECT_EQ(testing::ReadWholeFile(folder_ / "sub.xls" / "inside"), "x");
  ExpectFolderHolds({"sub.xls"});
}

TEST_F(SaveTest, WriterFailureKeepsTheOldFileAndLeavesNoTemporary) {
  // A workbook without sheets fails after the temporary file exists.
  for (const char* name : {"keep.xls", "keep.xlsx"}) {
    WriteText(folder_ / name, "precious");
    const std::string error = ErrorOf(Workbook{}, (folder_ / name).string());
    EXPECT_EQ(error, "Не удалось сохранить файл «" + (folder_ / name).string() + "»: В книге нет ни одного листа");
    EXPECT_EQ(testing::ReadWholeFile(folder_ / name), "precious");
  }
  ExpectFolderHolds({"keep.xls", "keep.xlsx"});
}

TEST_F(SaveTest, UnwritableFolderKeepsTheOldFile) {
  WriteText(folder_ / "old.xls", "precious");
  const std::string path = (folder_ / "old.xls").string();
  const auto error = testing::InReadOnlyFolder(folder_, [&] { return ErrorOf(workbook_, path); });
  if (!error) GTEST_SKIP() << "no private mount namespace to make a folder read-only in";
  EXPECT_EQ(*error, "Не удалось сохранить файл «" + path + "»: Read-only file system");
  EXPECT_EQ(testing::ReadWholeFile(folder_ / "old.xls"), "precious");
  ExpectFolderHolds({"old.xls"});
}

TEST_F(SaveTest, SavingThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
  fs::create_directory(folder_ / "real");
  WriteText(folder_ / "real" / "data.xls", "old");
  fs::create_symlink(folder_ / "real" / "data.xls", folder_ / "link.xls");
  Save(workbook_, (folder_ / "link.xls").string());
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.xls"));
  EXPECT_EQ(testing::ReadWholeFile(folder_ / "real" / "data.xls").substr(0, 4), "\xD0\xCF\x11\xE0");
  ExpectFolderHolds({"real", "link.xls"});
}

}  // namespace
}  // namespace spreadsheet

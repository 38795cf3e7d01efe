// Whole exports through the built-in spreadsheet application, into real
// files: what ends up on disk, and that every export lets go of its
// instance, whichever way it ends. On Windows (under Wine) the same
// exports run on the system's COM strings and variants, its class lookup
// behind the program's own registrations, and its structured storage.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "export/automation/class_registry.h"
#include "export/automation/exceptions.h"
#include "export/measurement_export.h"
#include "export/sheetapp/builtin_spreadsheet.h"
#include "export/sheetapp/dispatch_object.h"
#include "tests/support/fake_automation.h"
#include "tests/support/fake_export_ports.h"
#include "tests/support/test_folder.h"

namespace measurement_export {
namespace {

namespace fs = std::filesystem;
using spreadsheet::testing::ReadWholeFile;

constexpr char kCompoundFileMagic[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

// What is wrong with the message of a failed save of `path`: it must name the
// file and give a reason that reads as text (the system's, whose wording
// differs between systems); empty when nothing is.
std::string SaveMessageProblem(const std::string& message, const std::string& path) {
  const std::string prefix = "Не удалось сохранить файл «" + path + "»: ";
  if (!message.starts_with(prefix)) return "unexpected message: " + message;
  const std::string reason = message.substr(prefix.size());
  if (reason.empty() || reason.find("\xEF\xBF\xBD") != std::string::npos) return "unreadable reason: " + message;
  return {};
}

class BuiltInExportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(sheetapp::RegisterBuiltInSpreadsheet(), S_OK); }
  void TearDown() override { sheetapp::UnregisterBuiltInSpreadsheet(); }

  // What is left of the export's instance, which was told to quit and let
  // go of; empty when nothing is.
  static std::string LeftOver(const automation::OleVariant& link) {
    if (!link.IsEmpty()) return "the link still holds the instance";
    if (sheetapp::LiveObjectCount() != 0) return "objects of the instance are left";
    return {};
  }
  static void ExpectLetGo(const automation::OleVariant& link) { EXPECT_EQ(LeftOver(link), ""); }

  std::string Path(const char* name) const { return scratch / name; }

  automation::testing::ScopedComInitialization com;
  spreadsheet::testing::TestFolder scratch{"lumetra-export"};
  const fs::path& folder = scratch.Path();
};

TEST_F(BuiltInExportTest, ASavedExportWritesTheWorkbookAndQuits) {
  testing::FakeExportPorts ports(testing::FullGrid());
  ports.fileName = Path("измерения.xls");
  ExportMeasurements(ports);
  EXPECT_EQ(ReadWholeFile(spreadsheet::testing::PathOf(ports.fileName)).substr(0, 8), kCompoundFileMagic);
  EXPECT_TRUE(ports.questions.empty());
  ExpectLetGo(ports.link);
}

TEST_F(BuiltInExportTest, ACancelledDialogSavesNothingAndQuits) {
  testing::FakeExportPorts ports(testing::FullGrid());
  ports.fileName = Path("t.xls");
  ports.dialogConfirmed = false;
  ExportMeasurements(ports);
  EXPECT_TRUE(fs::is_empty(folder));
  ExpectLetGo(ports.link);
}

TEST_F(BuiltInExportTest, AFailedSaveRaisesItsReasonKeepsTheFileAndQuits) {
  fs::create_directory(folder / "folder.xls");
  testing::FakeExportPorts ports(testing::FullGrid());
  ports.fileName = Path("folder.xls");
  try {
    ExportMeasurements(ports);
    FAIL() << "saving onto a folder succeeded";
  } catch (const automation::EOleException& error) {
    EXPECT_EQ(SaveMessageProblem(error.Message(), ports.fileName), "");
  }
  EXPECT_TRUE(ports.questions.empty()) << "a folder is not an existing file";
  EXPECT_TRUE(fs::is_empty(folder / "folder.xls"));
  ExpectLetGo(ports.link);

  // An existing file that cannot be replaced: the answer Yes does not harm it.
  ports.fileName = Path("kept.xls");
  std::ofstream(folder / "kept.xls", std::ios::binary) << "precious";
  const auto outcome = spreadsheet::testing::WhileUnreplaceable(folder / "kept.xls", [&] {
    std::string problem = "saved";
    try {
      ExportMeasurements(ports);
    } catch (const automation::EOleException& error) {
      problem = SaveMessageProblem(error.Message(), ports.fileName);
    }
    return problem + LeftOver(ports.link);
  });
  if (!outcome) GTEST_SKIP() << "no private mount namespace to make a folder read-only in";
  EXPECT_EQ(*outcome, "");
  EXPECT_EQ(ReadWholeFile(folder / "kept.xls"), "precious");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2) << "no temporary left";
}

TEST_F(BuiltInExportTest, EachExportStartsAnInstanceAndReleasesThePreviousOne) {
  testing::FakeExportPorts ports(testing::OneCellGrid());
  ports.dialogConfirmed = false;
  // The start-up step's instance, never used by an export.
  automation::StartSpreadsheetInstance(ports.link);
  ASSERT_EQ(sheetapp::LiveObjectCount(), 1);
  ExportMeasurements(ports);
  ExpectLetGo(ports.link);
  ExportMeasurements(ports);
  ExpectLetGo(ports.link);
}

TEST_F(BuiltInExportTest, WithoutTheClassOnlyLabel1Changes) {
  sheetapp::UnregisterBuiltInSpreadsheet();
  testing::FakeExportPorts ports(testing::FullGrid());
  ExportMeasurements(ports);
  ASSERT_TRUE(ports.label.has_value());
  EXPECT_EQ(ports.label->caption, "MS EXCEL не установлен");
  EXPECT_FALSE(ports.label->canSave);
  EXPECT_EQ(ports.dialogsShown, 0);
  EXPECT_TRUE(ports.link.IsEmpty());
  EXPECT_EQ(sheetapp::LiveObjectCount(), 0);

  // Registered again, the next export finds it.
  ASSERT_EQ(sheetapp::RegisterBuiltInSpreadsheet(), S_OK);
  ports.label.reset();
  ports.dialogConfirmed = false;
  ExportMeasurements(ports);
  EXPECT_EQ(ports.label, automation::SpreadsheetBuiltInLabel());
  EXPECT_EQ(ports.dialogsShown, 1);
}

}  // namespace
}  // namespace measurement_export

// The member calls an export sends, checked call by call against the
// fake automation server registered as the spreadsheet application.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "export/automation/class_registry.h"
#include "export/automation/exceptions.h"
#include "export/measurement_export.h"
#include "tests/support/fake_automation.h"
#include "tests/support/fake_export_ports.h"

namespace measurement_export {
namespace {

using automation::testing::FakeAutomationServer;
using automation::testing::RecordedCall;
using Lines = std::vector<std::string>;

struct Step {
  std::string kind;  // get, put, method, method|get
  std::string member;
  std::string args;
};

// The described calls of one chain, each made on the result of the one before.
Lines Chain(std::vector<Step> steps, std::string target = {}) {
  Lines lines;
  for (const Step& step : steps) {
    std::string const call = step.member + "(" + step.args + ")";
    lines.push_back(target + ": " + step.kind + " " + call);
    target = target.empty() ? call : target + "." + call;
  }
  return lines;
}

// A chain from the link through the first worksheet.
Lines SheetChain(std::vector<Step> steps) {
  steps.insert(steps.begin(), {{"method|get", "WorkSheets", ""}, {"get", "Item", "1"}});
  return Chain(std::move(steps));
}

Step RangeStep(const std::string& address) { return {"get", "Range", "\"" + address + "\", <omitted>"}; }

void Append(Lines& to, const Lines& more) { to.insert(to.end(), more.begin(), more.end()); }

Lines NewWorkbook() {
  return Chain({{"method|get", "Application", ""}, {"method|get", "WorkBooks", ""}, {"method", "Add", ""}});
}

Lines Formatting() {
  Lines lines;
  Append(lines, SheetChain({{"method|get", "PageSetup", ""}, {"put", "Orientation", "2"}}));
  Append(lines, SheetChain({RangeStep("A1:K11"), {"method|get", "Borders", ""}, {"put", "LineStyle", "1"}}));
  Append(lines, SheetChain({RangeStep("A1:K11"),
                            {"method|get", "Characters", ""},
                            {"method|get", "Font", ""},
                            {"put", "Name", "\"Arial\""}}));
  Append(lines, SheetChain({{"get", "Columns", "1"}, {"put", "ColumnWidth", "15"}}));
  Append(lines, SheetChain({RangeStep("B2:K11"), {"put", "ColumnWidth", "10"}}));
  Append(lines, SheetChain({RangeStep("A1:K1"), {"method", "Merge", "false"}}));
  Append(lines, SheetChain({RangeStep("F11:K11"), {"method", "Merge", "false"}}));
  Append(lines, SheetChain({{"get", "Rows", "1"}, {"put", "RowHeight", "45"}}));
  Append(lines, SheetChain({{"get", "Cells", "1, 1"}, {"method|get", "Font", ""}, {"put", "Size", "15"}}));
  Append(lines, SheetChain({RangeStep("A2:K11"), {"method|get", "Font", ""}, {"put", "Size", "12"}}));
  Append(lines, SheetChain({RangeStep("A1:A1"), {"put", "VerticalAlignment", "i2(-4108)"}}));
  Append(lines, SheetChain({{"get", "Cells", "1, 1"}, {"method|get", "Interior", ""}, {"put", "Color", "15132390"}}));
  Append(lines, SheetChain({RangeStep("A2:K2"), {"method|get", "Interior", ""}, {"put", "Color", "65535"}}));
  Append(lines, SheetChain({RangeStep("A3:A11"), {"method|get", "Interior", ""}, {"put", "Color", "65535"}}));
  Append(lines, SheetChain({{"get", "Cells", "11, 6"}, {"method|get", "Interior", ""}, {"put", "Color", "15132390"}}));
  return lines;
}

Lines HeaderBlock() {
  Lines lines;
  Append(lines, SheetChain({{"put", "Cells", "1, 1, \"ТАБЛИЦА ИЗМЕРЕНИЙ\n(время, с)\""}}));
  Append(lines, SheetChain({{"put", "Cells", "2, 1, \"№ измерения\""}}));
  Append(lines, SheetChain({RangeStep("A1:K12"), {"put", "HorizontalAlignment", "i2(-4108)"}}));
  for (int n = 1; n <= 9; ++n) {
    std::string const top = "2, " + std::to_string(n + 2);
    std::string const left = std::to_string(n + 2) + ", 1";
    Append(lines, SheetChain({{"get", "Cells", top}, {"put", "NumberFormat", "\"@\""}}));
    Append(lines, SheetChain({{"get", "Cells", top}, {"put", "Value", "\"+" + std::to_string(n) + "\""}}));
    Append(lines, SheetChain({{"get", "Cells", left}, {"put", "NumberFormat", "\"@\""}}));
    Append(lines, SheetChain({{"get", "Cells", left}, {"put", "Value", "\"" + std::to_string(n - 1) + "0\""}}));
  }
  return lines;
}

Lines NumberWrite(int row, int column, double value) {
  char number[64];
  std::snprintf(number, sizeof number, "r8(%.17g)", value);
  return SheetChain({{"put", "Cells", std::to_string(row) + ", " + std::to_string(column) + ", " + number}});
}

Lines ReadDateLine(const std::string& date, const std::string& time) {
  return SheetChain({{"put", "Cells", "11, 6, \"Данные считаны " + date + " в " + time + "\""}});
}

Lines AlertsOff() { return Chain({{"method|get", "Application", ""}, {"put", "DisplayAlerts", "false"}}); }
Lines QuitCall() { return Chain({{"method", "Quit", ""}}); }
// The version read, then the save; `format` is the file format argument
// after the path ("" for none).
Lines SaveAs(const std::string& path, const std::string& format = "") {
  Lines lines = Chain({{"method|get", "Application", ""}, {"get", "Version", ""}});
  Append(lines, Chain({{"method|get", "Application", ""},
                       {"method|get", "WorkBooks", ""},
                       {"get", "Item", "1"},
                       {"method", "SaveAs", "\"" + path + "\"" + (format.empty() ? "" : ", " + format)}}));
  return lines;
}

Lines SaveAndQuit(const std::string& path, const std::string& format = "") {
  Lines lines = AlertsOff();
  Append(lines, SaveAs(path, format));
  Append(lines, AlertsOff());
  Append(lines, QuitCall());
  return lines;
}

Lines CancelledSave() {
  Lines lines = AlertsOff();
  Append(lines, QuitCall());
  return lines;
}

class ExportCallsTest : public ::testing::Test {
 protected:
  void SetUp() override { server.Register("Excel.Application"); }

  // Lines after the new workbook and the fifteen formatting steps.
  Lines Build(const Lines& contents) const {
    Lines lines = NewWorkbook();
    Append(lines, Formatting());
    Append(lines, contents);
    return lines;
  }

  // Every call's invocation details beyond its description: writes carry
  // their value as the named property-put argument and ask for no result;
  // reads ask for one; methods whose result is unused ask for none.
  void ExpectWellFormedCalls() const {
    for (const RecordedCall& call : server.Calls()) {
      SCOPED_TRACE(call.Describe());
      EXPECT_TRUE(call.nullIid);
      EXPECT_EQ(call.lcid, 0u);
      if (call.flags == DISPATCH_PROPERTYPUT) {
        EXPECT_EQ(call.namedDispids, std::vector<DISPID>{DISPID_PROPERTYPUT});
        EXPECT_FALSE(call.resultRequested);
      } else {
        EXPECT_TRUE(call.namedDispids.empty());
        EXPECT_EQ(call.resultRequested, call.flags != DISPATCH_METHOD);
      }
    }
  }

  automation::testing::ScopedComInitialization com;
  FakeAutomationServer server;
};

TEST_F(ExportCallsTest, AFullReadIsFormattedFilledSavedAndQuitInExactlyThisOrder) {
  testing::FakeExportPorts ports(testing::FullGrid(","));
  ports.fileName = "/data/измерения.xls";
  ports.fileExists = [](const std::string&) { return false; };
  ExportMeasurements(ports);

  Lines contents;
  bool first = true;
  for (int c = 1; c <= 10; ++c) {
    for (int r = 1; r <= 9; ++r) {
      bool const slot = (r - 1) * 10 + (c - 1) < 84;
      if (!slot && !(r == 9 && (c == 5 || c == 6))) continue;
      if (first) Append(contents, HeaderBlock());
      if (slot) Append(contents, NumberWrite(r + 2, c + 1, testing::SlotValue((r - 1) * 10 + (c - 1))));
      if (first) Append(contents, ReadDateLine(testing::kReadDate, testing::kReadTime));
      first = false;
    }
  }
  Lines expected = Build(contents);
  Append(expected, SaveAndQuit("/data/измерения.xls"));
  EXPECT_EQ(server.Describe(), expected);
  ExpectWellFormedCalls();

  EXPECT_EQ(server.InstancesCreated(), 1);
  EXPECT_EQ(ports.dialogsShown, 1);
  EXPECT_EQ(ports.existenceAsked, Lines{"/data/измерения.xls"});
  EXPECT_TRUE(ports.questions.empty());
  EXPECT_EQ(ports.label, automation::SpreadsheetInstalledLabel()) << "Label1 names who saved";
  // Told to quit, the instance is released too: nothing of it is left.
  EXPECT_TRUE(ports.link.IsEmpty());
  EXPECT_EQ(server.LiveObjects(), 0u);
}

TEST_F(ExportCallsTest, EmptyAndZeroOnlyGridsGetTheFormattingAndNoText) {
  for (const testing::Grid& grid : {testing::Grid{}, testing::DashesGrid()}) {
    server.ClearRecords();
    testing::FakeExportPorts ports(grid);
    ports.dialogConfirmed = false;
    ExportMeasurements(ports);

    Lines expected = Build({});
    Append(expected, CancelledSave());
    EXPECT_EQ(server.Describe(), expected);
    EXPECT_EQ(ports.dialogsShown, 1);
    EXPECT_TRUE(ports.existenceAsked.empty());
  }
}

TEST_F(ExportCallsTest, OneFilledCellWritesTheHeaderTheNumberAndTheReadDateLine) {
  testing::FakeExportPorts ports(testing::OneCellGrid("."), ".");
  ports.dialogConfirmed = false;
  ExportMeasurements(ports);

  Lines contents = HeaderBlock();
  Append(contents, NumberWrite(3, 2, 3.1416));
  Append(contents, ReadDateLine("", ""));
  Lines expected = Build(contents);
  Append(expected, CancelledSave());
  EXPECT_EQ(server.Describe(), expected);
}

TEST_F(ExportCallsTest, AnExistingFileIsReplacedOnlyAfterYes) {
  testing::FakeExportPorts ports(testing::Grid{});
  ports.fileName = "C:\\Данные\\t.xls";
  ports.fileExists = [](const std::string&) { return true; };

  ports.replace = true;
  ExportMeasurements(ports);
  Lines expected = Build({});
  Append(expected, SaveAndQuit("C:\\Данные\\t.xls"));
  EXPECT_EQ(server.Describe(), expected);
  EXPECT_EQ(ports.questions, Lines{"Файл с именем:\n\"C:\\Данные\\t.xls\"\nУже существует. Перезаписать?"});

  server.ClearRecords();
  ports.replace = false;
  ExportMeasurements(ports);
  expected = Build({});
  Append(expected, AlertsOff());
  Append(expected, QuitCall());
  EXPECT_EQ(server.Describe(), expected) << "No: no save, and Quit without a second DisplayAlerts";
  EXPECT_EQ(ports.questions.size(), 2u);

  // Each export started an instance of its own and released it at its end.
  EXPECT_EQ(server.InstancesCreated(), 2);
  EXPECT_EQ(server.LiveObjects(), 0u);
  EXPECT_EQ(server.Calls().back().instance, 2);
}

// A workbook saved by name alone takes the application's default format,
// .xlsx since version 12 even for a ".xls" name: from that version on, the
// format the name asks for goes with it; before it, the call stays as it was.
TEST_F(ExportCallsTest, FromVersion12OnSaveAsIsToldTheFormatTheNameAsksFor) {
  struct Case {
    automation::testing::FakeValue version;
    std::string path;
    std::string format;
  };
  using Text = std::string;
  for (const Case& c : {Case{Text("16.0"), "C:\\t.xls", "56"}, Case{Text("12.0"), "C:\\t.XLSX", "51"},
                        Case{std::int32_t{12}, "t.xlsm", "56"}, Case{Text("11.0"), "C:\\t.xlsx", ""},
                        Case{std::monostate{}, "t.xls", ""}}) {
    SCOPED_TRACE(c.path);
    server.ClearRecords();
    server.Answer("Version", c.version);
    testing::FakeExportPorts ports(testing::Grid{});
    ports.fileName = c.path;
    ports.fileExists = [](const std::string&) { return false; };
    ExportMeasurements(ports);
    Lines expected = Build({});
    Append(expected, SaveAndQuit(c.path, c.format));
    EXPECT_EQ(server.Describe(), expected);
  }
  ExpectWellFormedCalls();
}

TEST_F(ExportCallsTest, WithoutTheApplicationOnlyTheLabelChanges) {
  automation::UnregisterAutomationClass("Excel.Application");
  testing::FakeExportPorts ports(testing::FullGrid());
  ExportMeasurements(ports);

  ASSERT_TRUE(ports.label.has_value());
  EXPECT_EQ(*ports.label, (automation::SpreadsheetLabel{"MS EXCEL не установлен", false}));
  EXPECT_EQ(ports.dialogsShown, 0);
  EXPECT_TRUE(ports.link.IsEmpty());
  EXPECT_EQ(server.InstancesCreated(), 0);
}

// An error part-way through ends the export, but the instance it started is
// still told to quit without alerts before the error goes on to the error box.
TEST_F(ExportCallsTest, AnErrorQuitsTheInstanceAndReachesTheCaller) {
  {
    SCOPED_TRACE("a member call fails while the sheet is built");
    server.Fail("Merge", RPC_E_SERVERFAULT);
    testing::FakeExportPorts ports(testing::FullGrid());
    EXPECT_THROW(ExportMeasurements(ports), automation::EOleSysError);
    Lines const calls = server.Describe();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[calls.size() - 4], "WorkSheets().Item(1).Range(\"A1:K1\", <omitted>): method Merge(false)");
    EXPECT_EQ(Lines(calls.end() - 3, calls.end()), CancelledSave());
    EXPECT_EQ(ports.dialogsShown, 0);
    EXPECT_TRUE(ports.link.IsEmpty());
    EXPECT_EQ(server.LiveObjects(), 0u);
  }
  server.ClearRecords();
  server.Fail("Merge", S_OK);
  {
    SCOPED_TRACE("a cell that is not a number");
    testing::Grid grid = testing::FullGrid();
    grid[3][2] = "12,3x";
    testing::FakeExportPorts ports(grid);
    try {
      ExportMeasurements(ports);
      FAIL() << "the export succeeded";
    } catch (const EConvertError& error) {
      EXPECT_STREQ(error.what(), "'12,3x' is not a valid floating point value");
    }
    Lines const calls = server.Describe();
    // The cells before it, in column order, were written; nothing after.
    Lines const lastWrite = NumberWrite(3, 4, testing::SlotValue(2));  // cell (3, 1)
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(Lines(calls.end() - 6, calls.end() - 3), lastWrite);
    EXPECT_EQ(Lines(calls.end() - 3, calls.end()), CancelledSave());
    EXPECT_EQ(ports.dialogsShown, 0);
  }
  server.ClearRecords();
  {
    SCOPED_TRACE("the save fails; the quit itself fails too");
    server.Raise("SaveAs", "Не удалось сохранить файл «/x/t.xls»: Permission denied.", static_cast<SCODE>(0x800A03ECu));
    server.Fail("Quit", RPC_E_DISCONNECTED);
    testing::FakeExportPorts ports(testing::Grid{});
    ports.fileName = "/x/t.xls";
    ports.fileExists = [](const std::string&) { return false; };
    try {
      ExportMeasurements(ports);
      FAIL() << "the export succeeded";
    } catch (const automation::EOleException& error) {
      EXPECT_EQ(error.Message(), "Не удалось сохранить файл «/x/t.xls»: Permission denied");
    }
    Lines expected = Build({});
    Append(expected, AlertsOff());
    Append(expected, SaveAs("/x/t.xls"));
    Append(expected, AlertsOff());
    Append(expected, QuitCall());
    EXPECT_EQ(server.Describe(), expected);
  }
  server.ClearRecords();
  {
    SCOPED_TRACE("the instance cannot be started: nothing to quit");
    server.FailCreation(CO_E_SERVER_EXEC_FAILURE);
    testing::FakeExportPorts ports(testing::FullGrid());
    EXPECT_THROW(ExportMeasurements(ports), automation::EOleSysError);
    EXPECT_TRUE(server.Calls().empty());
    EXPECT_FALSE(ports.label.has_value());
  }
}

}  // namespace
}  // namespace measurement_export

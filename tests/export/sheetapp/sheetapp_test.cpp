// The built-in spreadsheet application's object model, driven through the
// late-bound call layer and, where the details of an answer matter, through
// IDispatch directly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "export/automation/exceptions.h"
#include "export/automation/spreadsheet_link.h"
#include "export/automation/text_convert.h"
#include "export/sheetapp/builtin_spreadsheet.h"
#include "export/sheetapp/dispatch_object.h"
#include "export/spreadsheet/xlsx/xlsx_writer.h"
#include "tests/support/test_folder.h"

namespace sheetapp {
namespace {

using automation::EOleException;
using automation::EOleSysError;
using automation::OleVariant;
using automation::Omitted;
namespace fs = std::filesystem;

OleVariant NewApplication() {
  IUnknown* object = nullptr;
  EXPECT_EQ(CreateBuiltInSpreadsheet(&object), S_OK);
  IDispatch* dispatch = nullptr;
  EXPECT_EQ(object->QueryInterface(automation::kDispatchIid, reinterpret_cast<void**>(&dispatch)), S_OK);
  object->Release();
  OleVariant held(dispatch);
  dispatch->Release();
  return held;
}

// The result code a failing call raised, S_OK when it did not fail.
HRESULT CodeOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const EOleSysError& error) {
    return error.ErrorCode();
  }
  return S_OK;
}

// The description of the exception record a call answered with.
std::string DescriptionOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const EOleException& error) {
    EXPECT_EQ(error.ErrorCode(), kApplicationErrorCode);
    EXPECT_EQ(error.Source(), "Lumetra");
    return error.Message();
  }
  return "no exception record";
}

std::string TextOf(const OleVariant& v) {
  EXPECT_EQ(v.Type(), VT_BSTR);
  return v.Type() == VT_BSTR ? automation::FromBstr(v.Raw().bstrVal) : std::string();
}

DISPID IdOf(IDispatch* object, const char16_t* name, HRESULT expected = S_OK) {
  std::u16string text(name);
  LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(text.data())};
  DISPID id = 12345;
  EXPECT_EQ(object->GetIDsOfNames(automation::kNullIid, names, 1, 0, &id), expected);
  return id;
}

class SheetAppTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(LiveObjectCount(), 1) << "the application, and nothing else"; }
  void TearDown() override {
    app.Clear();
    EXPECT_EQ(LiveObjectCount(), 0) << "an object of the application was never released";
  }

  OleVariant Sheet() const { return app.Call("WorkSheets").Get("Item", 1); }
  OleVariant Cell(int row, int column) const { return Sheet().Get("Cells", row, column); }
  OleVariant Range(const char* address) const { return Sheet().Get("Range", address, Omitted()); }
  void AddWorkbook() const { app.Call("WorkBooks").Exec("Add"); }

  OleVariant app = NewApplication();
};

TEST_F(SheetAppTest, NamesResolveIgnoringCaseAndUnknownOnesAreRefused) {
  IDispatch* const application = app.Dispatch();
  DISPID const workbooks = IdOf(application, u"WorkBooks");
  EXPECT_EQ(IdOf(application, u"workbooks"), workbooks);
  EXPECT_EQ(IdOf(application, u"WORKBOOKS"), workbooks);
  EXPECT_NE(IdOf(application, u"Quit"), workbooks);
  EXPECT_EQ(IdOf(application, u"Exists", DISP_E_UNKNOWNNAME), DISPID_UNKNOWN);
  EXPECT_EQ(IdOf(application, u"WorkBook", DISP_E_UNKNOWNNAME), DISPID_UNKNOWN);
  EXPECT_EQ(IdOf(application, u"WorkBooksX", DISP_E_UNKNOWNNAME), DISPID_UNKNOWN);

  // Argument names are not known either.
  std::u16string member = u"Quit", argument = u"SaveChanges";
  LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(member.data()), reinterpret_cast<LPOLESTR>(argument.data())};
  DISPID ids[2] = {0, 0};
  EXPECT_EQ(application->GetIDsOfNames(automation::kNullIid, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);

  AddWorkbook();
  EXPECT_NO_THROW(app.Call("worksheets").Get("ITEM", 1).Get("range", "a1", Omitted()).Call("FONT").Put("size", 11));
  try {
    (void)app.Call("Exists");
    FAIL() << "Exists answered";
  } catch (const automation::EOleError& error) {
    EXPECT_STREQ(error.what(), "Method 'Exists' not supported by automation object");
  }
  // The window's close query finds no "Exists" and so sends no "Quit".
  EXPECT_TRUE(automation::SpreadsheetCloseQuery(app));
  EXPECT_NO_THROW(Sheet().Put("Cells", 1, 1, "still running"));
}

TEST_F(SheetAppTest, BadArgumentsAnswerAnExceptionRecordOrTheMatchingCode) {
  EXPECT_EQ(DescriptionOf([&] { (void)app.Call("WorkSheets"); }), "Нет открытой книги");
  AddWorkbook();
  EXPECT_EQ(DescriptionOf([&] { (void)Range("A0"); }), "Неверный адрес диапазона «A0»");
  EXPECT_EQ(DescriptionOf([&] { (void)Range("A1:K"); }), "Неверный адрес диапазона «A1:K»");
  EXPECT_EQ(DescriptionOf([&] { (void)Cell(0, 1); }), "Ячейка (0, 1) лежит за пределами листа");
  EXPECT_EQ(DescriptionOf([&] { (void)app.Call("WorkBooks").Get("Item", 2); }), "Книги с номером 2 нет");
  EXPECT_EQ(DescriptionOf([&] { (void)app.Call("WorkSheets").Get("Item", 0); }), "Листа с номером 0 нет");
  EXPECT_EQ(DescriptionOf([&] { Cell(1, 1).Call("Interior").Put("Color", 0x1000000); }),
            "Значение 16777216 свойства Color вне допустимых пределов (0…16777215)");
  EXPECT_EQ(DescriptionOf([&] { Cell(1, 1).Put("HorizontalAlignment", 12345); }),
            "Недопустимое значение 12345 свойства HorizontalAlignment");
  EXPECT_EQ(DescriptionOf([&] { Sheet().Call("PageSetup").Put("Orientation", 3); }),
            "Недопустимое значение 3 свойства Orientation");
  EXPECT_EQ(DescriptionOf([&] { (void)Sheet().Get("Range", "A1", "B2"); }),
            "Поддерживается только диапазон, заданный одним адресом");
  // Cell by cell, the whole sheet would exhaust the memory; whole columns and
  // the widths of every column are fine.
  EXPECT_EQ(DescriptionOf([&] { Range("A1:IV65536").Call("Font").Put("Size", 12); }),
            "Диапазон A1:IV65536 слишком велик, чтобы менять его ячейки");
  EXPECT_NO_THROW(Sheet().Get("Columns", 2).Call("Interior").Put("Color", 255));
  EXPECT_NO_THROW(Range("A1:IV65536").Put("ColumnWidth", 9));

  EXPECT_EQ(CodeOf([&] { (void)Sheet().Get("Cells", 1, 2, 3); }), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(CodeOf([&] { app.Exec("Quit", 1); }), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(CodeOf([&] { (void)Sheet().Get("Range"); }), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(CodeOf([&] { Cell(1, 1).Put("Value", 1, 2); }), DISP_E_BADPARAMCOUNT);
  // Arguments come in the kinds the export sends, or not at all.
  EXPECT_EQ(CodeOf([&] { (void)Sheet().Get("Cells", "1", 1); }), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(CodeOf([&] { (void)Sheet().Get("Cells", 1.0, 1); }), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(CodeOf([&] { Cell(1, 1).Put("NumberFormat", 0); }), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(CodeOf([&] { Cell(1, 1).Put("Value", true); }), DISP_E_TYPEMISMATCH) << "a Boolean is no cell value";
  EXPECT_EQ(CodeOf([&] { app.Put("DisplayAlerts", "False"); }), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(CodeOf([&] { app.Put("Quit", 1); }), DISP_E_MEMBERNOTFOUND) << "a method is not written";
  EXPECT_EQ(CodeOf([&] { Sheet().Put("PageSetup", 1); }), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(CodeOf([&] { (void)Cell(1, 1).Get("Value"); }), DISP_E_MEMBERNOTFOUND) << "written only";
}

TEST_F(SheetAppTest, InvokeReportsTheOffendingArgumentAndRefusesNamedArguments) {
  AddWorkbook();
  OleVariant const sheet = Sheet();
  IDispatch* const object = sheet.Dispatch();
  DISPID const cells = IdOf(object, u"Cells");

  VARIANT args[2];  // last argument first: Cells(1, "row?")
  VariantInit(&args[0]);
  args[0].vt = VT_BSTR;
  args[0].bstrVal = automation::AllocBstr("column?");
  VariantInit(&args[1]);
  args[1].vt = VT_I4;
  args[1].lVal = 1;
  DISPPARAMS params{args, nullptr, 2, 0};
  VARIANT result;
  VariantInit(&result);
  UINT argError = 99;
  EXCEPINFO info{};
  EXPECT_EQ(object->Invoke(cells, automation::kNullIid, 0, DISPATCH_PROPERTYGET, &params, &result, &info, &argError),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argError, 0u) << "the text is the last argument, first in the array";
  EXPECT_EQ(result.vt, VT_EMPTY);

  DISPID named = 0;
  params.rgdispidNamedArgs = &named;
  params.cNamedArgs = 1;
  EXPECT_EQ(object->Invoke(cells, automation::kNullIid, 0, DISPATCH_PROPERTYGET, &params, &result, &info, &argError),
            DISP_E_NONAMEDARGS);
  EXPECT_EQ(object->Invoke(4242, automation::kNullIid, 0, DISPATCH_METHOD, &params, nullptr, &info, &argError),
            DISP_E_MEMBERNOTFOUND);
  VariantClear(&args[0]);
}

TEST_F(SheetAppTest, ObjectsKeepWhatTheyCameFromAliveAndAreReleasedExactly) {
  IDispatch* const application = app.Dispatch();
  EXPECT_EQ(application->AddRef(), 2u);
  EXPECT_EQ(application->Release(), 1u);
  EXPECT_EQ(app.Call("Application").Dispatch(), application) << "the application answers itself";

  AddWorkbook();
  Cell(1, 1).Call("Interior").Put("Color", 255);
  EXPECT_EQ(LiveObjectCount(), 1) << "the temporaries of a chain are gone when it ends";

  OleVariant font = Range("A1:B2").Call("Characters").Call("Font");
  OleVariant cell = Cell(2, 2);
  app.Clear();
  EXPECT_GT(LiveObjectCount(), 2);
  // The workbook outlived the application's last reference.
  font.Put("Size", 20);
  cell.Put("Value", 2.5);
  font.Clear();
  cell.Clear();
  EXPECT_EQ(LiveObjectCount(), 0);
}

TEST_F(SheetAppTest, AfterQuitEveryCallAnswersDisconnected) {
  AddWorkbook();
  OleVariant const sheet = Sheet();
  app.Exec("Quit");
  EXPECT_EQ(CodeOf([&] { (void)app.Call("WorkBooks"); }), RPC_E_DISCONNECTED);
  EXPECT_EQ(CodeOf([&] { app.Exec("Quit"); }), RPC_E_DISCONNECTED);
  EXPECT_EQ(CodeOf([&] { sheet.Put("Cells", 1, 1, "late"); }), RPC_E_DISCONNECTED);
  EXPECT_TRUE(automation::SpreadsheetCloseQuery(app));
}

class SheetAppSaveTest : public SheetAppTest {
 protected:
  void SetUp() override {
    SheetAppTest::SetUp();
    AddWorkbook();
    Sheet().Put("Cells", 1, 1, "saved");
  }
  template <class... Format>
  void SaveAs(const std::string& path, Format... format) const {
    app.Call("WorkBooks").Get("Item", 1).Exec("SaveAs", path, format...);
  }
  std::string Read(const std::string& path) const { return spreadsheet::testing::ReadWholeFile(PathOf(path)); }
  static fs::path PathOf(const std::string& path) { return spreadsheet::testing::PathOf(path); }

  spreadsheet::testing::TestFolder scratch{"lumetra-sheetapp"};
};

TEST_F(SheetAppSaveTest, SaveAsReplacesAFileOnlyWithAlertsOffAndNamesWhatFailed) {
  std::string const path = scratch / "t.xls";
  std::ofstream(PathOf(path)) << "precious";
  EXPECT_EQ(DescriptionOf([&] { SaveAs(path); }), "Файл «" + path + "» уже существует");
  EXPECT_EQ(Read(path), "precious");

  app.Put("DisplayAlerts", false);
  SaveAs(path);
  EXPECT_EQ(Read(path).substr(0, 4), "\xD0\xCF\x11\xE0");
  std::string const xlsx = scratch / "t.xlsx";
  if (spreadsheet::xlsx::Available()) {
    SaveAs(xlsx);
    EXPECT_EQ(Read(xlsx).substr(0, 2), "PK");
  } else {
    EXPECT_EQ(DescriptionOf([&] { SaveAs(xlsx); }),
              "Не удалось сохранить файл «" + xlsx + "»: " + spreadsheet::xlsx::kUnavailableReason);
    EXPECT_FALSE(fs::exists(PathOf(xlsx)));
  }

  std::string const missing = scratch / "no/t.xls";
  EXPECT_TRUE(DescriptionOf([&] { SaveAs(missing); }).starts_with("Не удалось сохранить файл «" + missing + "»: "));
}

// "Version" tells clients that "SaveAs" takes the file format; the format
// given must be one this application writes and agree with the name.
TEST_F(SheetAppSaveTest, SaveAsTakesTheFileFormatThatAgreesWithTheName) {
  EXPECT_EQ(TextOf(app.Get("Version")), "12.0");
  app.Put("DisplayAlerts", false);
  std::string const path = scratch / "t.xls";
  SaveAs(path, 56);
  EXPECT_EQ(Read(path).substr(0, 4), "\xD0\xCF\x11\xE0");
  if (spreadsheet::xlsx::Available()) {
    SaveAs(scratch / "t.XLSX", 51);
    EXPECT_EQ(Read(scratch / "t.XLSX").substr(0, 2), "PK");
  }
  EXPECT_EQ(DescriptionOf([&] { SaveAs(path, 51); }), "Имя файла «" + path + "» не подходит к формату 51 (.xlsx)");
  EXPECT_EQ(DescriptionOf([&] { SaveAs(scratch / "u.xlsx", 56); }),
            "Имя файла «" + (scratch / "u.xlsx") + "» не подходит к формату 56 (.xls)");
  EXPECT_EQ(DescriptionOf([&] { SaveAs(path, 43); }),
            "Формат файла 43 не поддерживается: только 56 (.xls) и 51 (.xlsx)");
  EXPECT_EQ(CodeOf([&] { SaveAs(path, 56, "secret"); }), DISP_E_BADPARAMCOUNT);
}

}  // namespace
}  // namespace sheetapp

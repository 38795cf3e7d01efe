#include "export/sheetapp/application_objects.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "export/sheetapp/sheet_objects.h"
#include "export/spreadsheet/save.h"

namespace sheetapp {
namespace {

enum : DISPID {
  kItem = DISPID_VALUE,  // the collections' default member
  kApplication = 1,
  kWorkbooks,
  kWorksheets,
  kDisplayAlerts,
  kQuit,
  kVersion,
  kAdd,
  kSaveAs,
};

constexpr Member kApplicationMembers[] = {
    {"Application", kApplication, MemberKind::ReadOnly},
    {"WorkBooks", kWorkbooks, MemberKind::ReadOnly},
    {"WorkSheets", kWorksheets, MemberKind::ReadOnly},
    {"DisplayAlerts", kDisplayAlerts, MemberKind::WriteOnly},
    {"Quit", kQuit, MemberKind::Method},
    {"Version", kVersion, MemberKind::ReadOnly},
};
constexpr Member kWorkbooksMembers[] = {
    {"Add", kAdd, MemberKind::Method},
    {"Item", kItem, MemberKind::ReadOnly},
};
constexpr Member kWorkbookMembers[] = {{"SaveAs", kSaveAs, MemberKind::Method}};
constexpr Member kWorksheetsMembers[] = {{"Item", kItem, MemberKind::ReadOnly}};

// The object model this application follows is that of the version that
// introduced .xlsx, whose "SaveAs" takes the file format as its second
// argument; clients read "Version" to know whether they may pass it.
constexpr char kVersionText[] = "12.0";

// The format "SaveAs" is asked for: the one the name gives, or the one the
// format argument names, which must then be one of the two this application
// writes and agree with the name, as with the spreadsheet it stands in for.
spreadsheet::FileFormat SaveAsFormat(const Request& request, const std::string& path) {
  using spreadsheet::FileFormat;
  FileFormat const byName = spreadsheet::FormatForPath(path);
  if (request.Count() < 2) return byName;
  std::int32_t const number = request.Int32(1);
  if (number != spreadsheet::xl::kExcel8 && number != spreadsheet::xl::kOpenXmlWorkbook) {
    throw ApplicationError("Формат файла " + std::to_string(number) + " не поддерживается: только " +
                           std::to_string(spreadsheet::xl::kExcel8) + " (.xls) и " +
                           std::to_string(spreadsheet::xl::kOpenXmlWorkbook) + " (.xlsx)");
  }
  FileFormat const asked = number == spreadsheet::xl::kExcel8 ? FileFormat::Xls : FileFormat::Xlsx;
  if (asked != byName) {
    throw ApplicationError("Имя файла «" + path + "» не подходит к формату " + std::to_string(number) +
                           (asked == FileFormat::Xls ? " (.xls)" : " (.xlsx)"));
  }
  return asked;
}

// The 1-based position the one argument of "Item" asks for in a collection
// of `count`.
std::size_t ItemIndex(const Request& request, std::size_t count, const char* what) {
  request.ExpectCount(1, 1);
  std::int32_t const number = request.Int32(0);
  if (number < 1 || static_cast<std::size_t>(number) > count) {
    throw ApplicationError(std::string(what) + " с номером " + std::to_string(number) + " нет");
  }
  return static_cast<std::size_t>(number - 1);
}

bool FileExists(const std::string& utf8Path) {
  std::error_code error;
  std::filesystem::path const path(std::u8string(utf8Path.begin(), utf8Path.end()));
  return std::filesystem::exists(path, error);
}

}  // namespace

ApplicationObject::ApplicationObject() : DispatchObject(std::make_shared<InstanceState>(), kApplicationMembers) {}

void ApplicationObject::Perform(const Member& member, const Request& request, Answer& answer) {
  request.ExpectCount(0, 0);
  ComRef<ApplicationObject> const self = ComRef<ApplicationObject>::Share(this);
  switch (member.id) {
    case kApplication: answer.Object(self); return;
    case kWorkbooks: answer.Object(MakeObject<WorkbooksObject>(self)); return;
    case kWorksheets:
      if (Instance().workbooks.empty()) throw ApplicationError("Нет открытой книги");
      answer.Object(MakeObject<WorksheetsObject>(self, Instance().workbooks.back()));
      return;
    case kDisplayAlerts: Instance().displayAlerts = request.ValueBoolean(); return;
    case kVersion: answer.Text(kVersionText); return;
    case kQuit:
      // No one is there to be asked about unsaved workbooks: they are dropped.
      Instance().workbooks.clear();
      Instance().quit = true;
      return;
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
}

WorkbooksObject::WorkbooksObject(ComRef<ApplicationObject> application)
    : DispatchObject(application->SharedInstance(), kWorkbooksMembers), application_(std::move(application)) {}

void WorkbooksObject::Perform(const Member& member, const Request& request, Answer& answer) {
  auto& books = Instance().workbooks;
  switch (member.id) {
    case kAdd: {
      request.ExpectCount(0, 0);
      auto book = std::make_shared<spreadsheet::Workbook>();
      book->AddWorksheet();
      books.push_back(std::move(book));  // the new workbook becomes the active one
      return;
    }
    case kItem: {
      std::size_t const index = ItemIndex(request, books.size(), "Книги");
      answer.Object(MakeObject<WorkbookObject>(ComRef<DispatchObject>::Share(this), books[index]));
      return;
    }
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
}

WorkbookObject::WorkbookObject(ComRef<DispatchObject> parent, std::shared_ptr<spreadsheet::Workbook> book)
    : DispatchObject(parent->SharedInstance(), kWorkbookMembers), parent_(std::move(parent)), book_(std::move(book)) {}

void WorkbookObject::Perform(const Member& member, const Request& request, Answer&) {
  if (member.id != kSaveAs) throw Fault{DISP_E_MEMBERNOTFOUND};
  request.ExpectCount(1, 2);
  std::string const path = request.Text(0);
  spreadsheet::FileFormat const format = SaveAsFormat(request, path);
  // There is no one to ask whether to replace the file: with alerts on,
  // an existing file is kept and the save refused.
  if (Instance().displayAlerts && FileExists(path)) {
    throw ApplicationError("Файл «" + path + "» уже существует");
  }
  spreadsheet::Save(*book_, path, format);
}

WorksheetsObject::WorksheetsObject(ComRef<DispatchObject> parent, std::shared_ptr<spreadsheet::Workbook> book)
    : DispatchObject(parent->SharedInstance(), kWorksheetsMembers),
      parent_(std::move(parent)),
      book_(std::move(book)) {}

void WorksheetsObject::Perform(const Member& member, const Request& request, Answer& answer) {
  if (member.id != kItem) throw Fault{DISP_E_MEMBERNOTFOUND};
  std::size_t const index = ItemIndex(request, book_->WorksheetCount(), "Листа");
  answer.Object(MakeObject<WorksheetObject>(SharedInstance(), ComRef<DispatchObject>::Share(this), book_, index));
}

}  // namespace sheetapp

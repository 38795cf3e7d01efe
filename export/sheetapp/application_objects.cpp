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
  kCount,
  kSaveAs,
};

constexpr Member kApplicationMembers[] = {
    {"Application", kApplication, MemberKind::ReadOnly},   {"WorkBooks", kWorkbooks, MemberKind::ReadOnly},
    {"WorkSheets", kWorksheets, MemberKind::ReadOnly},     {"DisplayAlerts", kDisplayAlerts, MemberKind::Property},
    {"Quit", kQuit, MemberKind::Method},          {"Version", kVersion, MemberKind::ReadOnly},
};
constexpr Member kWorkbooksMembers[] = {
    {"Add", kAdd, MemberKind::Method},
    {"Item", kItem, MemberKind::ReadOnly},
    {"Count", kCount, MemberKind::ReadOnly},
};
constexpr Member kWorkbookMembers[] = {
    {"SaveAs", kSaveAs, MemberKind::Method},
    {"WorkSheets", kWorksheets, MemberKind::ReadOnly},
};
constexpr Member kWorksheetsMembers[] = {
    {"Item", kItem, MemberKind::ReadOnly},
    {"Count", kCount, MemberKind::ReadOnly},
};

// The object model this application follows is that of the version that
// introduced .xlsx, whose "SaveAs" takes the file format as its second
// argument; clients read "Version" to know whether they may pass it.
constexpr char kVersionText[] = "12.0";

// "SaveAs" takes the file name and up to eleven optional arguments; the
// file name and the file format are supported.
constexpr std::size_t kSaveAsArguments = 12;

// The format "SaveAs" is asked for: the one the name gives, or the one the
// format argument names, which must then be one of the two this application
// writes and agree with the name, as with the spreadsheet it stands in for.
spreadsheet::FileFormat SaveAsFormat(const Request& request, const std::string& path) {
  using spreadsheet::FileFormat;
  FileFormat const byName = spreadsheet::FormatForPath(path);
  if (request.Count() < 2 || request.Omitted(1)) return byName;
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

// The 1-based position `request` asks for in a collection of `count`.
std::size_t ItemIndex(const Request& request, std::size_t argument, std::size_t count, const char* what) {
  std::int32_t const number = request.Int32(argument);
  if (number < 1 || static_cast<std::size_t>(number) > count) {
    throw ApplicationError(std::string(what) + " с номером " + std::to_string(number) + " нет");
  }
  return static_cast<std::size_t>(number - 1);
}

ComRef<WorksheetObject> SheetOf(const std::shared_ptr<InstanceState>& instance, ComRef<DispatchObject> parent,
                                const std::shared_ptr<spreadsheet::Workbook>& book, const Request& request) {
  std::size_t const index = ItemIndex(request, 0, book->WorksheetCount(), "Листа");
  return MakeObject<WorksheetObject>(instance, std::move(parent), book, index);
}

std::int32_t CountOf(std::size_t count) { return static_cast<std::int32_t>(count); }

bool FileExists(const std::string& utf8Path) {
  std::error_code error;
  std::filesystem::path const path(std::u8string(utf8Path.begin(), utf8Path.end()));
  return std::filesystem::exists(path, error);
}

}  // namespace

ApplicationObject::ApplicationObject()
    : DispatchObject(std::make_shared<InstanceState>(), kApplicationMembers) {}

void ApplicationObject::Perform(const Member& member, const Request& request, Answer& answer) {
  ComRef<ApplicationObject> const self = ComRef<ApplicationObject>::Share(this);
  switch (member.id) {
    case kApplication:
      request.ExpectCount(0, 0);
      answer.Object(self);
      return;
    case kWorkbooks: {
      request.ExpectCount(0, 1);
      auto workbooks = MakeObject<WorkbooksObject>(self);
      if (request.Count() == 0) {
        answer.Object(std::move(workbooks));
      } else {
        auto& books = instance().workbooks;
        answer.Object(MakeObject<WorkbookObject>(std::move(workbooks), books[ItemIndex(request, 0, books.size(), "Книги")]));
      }
      return;
    }
    case kWorksheets: {
      request.ExpectCount(0, 1);
      if (instance().workbooks.empty()) throw ApplicationError("Нет открытой книги");
      std::shared_ptr<spreadsheet::Workbook> const active = instance().workbooks.back();
      auto book = MakeObject<WorkbookObject>(self, active);
      auto sheets = MakeObject<WorksheetsObject>(std::move(book), active);
      if (request.Count() == 0) {
        answer.Object(std::move(sheets));
      } else {
        answer.Object(SheetOf(sharedInstance(), std::move(sheets), active, request));
      }
      return;
    }
    case kDisplayAlerts:
      if (request.IsPut()) {
        instance().displayAlerts = request.ValueBoolean();
      } else {
        answer.Boolean(instance().displayAlerts);
      }
      return;
    case kVersion:
      request.ExpectCount(0, 0);
      answer.Text(kVersionText);
      return;
    case kQuit:
      request.ExpectCount(0, 0);
      // No one is there to be asked about unsaved workbooks: they are dropped.
      instance().workbooks.clear();
      instance().quit = true;
      return;
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
}

WorkbooksObject::WorkbooksObject(ComRef<ApplicationObject> application)
    : DispatchObject(application->sharedInstance(), kWorkbooksMembers), application_(std::move(application)) {}

void WorkbooksObject::Perform(const Member& member, const Request& request, Answer& answer) {
  auto& books = instance().workbooks;
  ComRef<DispatchObject> const self = ComRef<DispatchObject>::Share(this);
  switch (member.id) {
    case kAdd: {
      request.ExpectCount(0, 1);
      if (!request.Omitted(0)) throw ApplicationError("Создание книги по шаблону не поддерживается");
      auto book = std::make_shared<spreadsheet::Workbook>();
      book->AddWorksheet();
      books.push_back(book);  // the new workbook becomes the active one
      answer.Object(MakeObject<WorkbookObject>(self, std::move(book)));
      return;
    }
    case kItem:
      request.ExpectCount(1, 1);
      answer.Object(MakeObject<WorkbookObject>(self, books[ItemIndex(request, 0, books.size(), "Книги")]));
      return;
    case kCount:
      request.ExpectCount(0, 0);
      answer.Int32(CountOf(books.size()));
      return;
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
}

WorkbookObject::WorkbookObject(ComRef<DispatchObject> parent, std::shared_ptr<spreadsheet::Workbook> book)
    : DispatchObject(parent->sharedInstance(), kWorkbookMembers), parent_(std::move(parent)), book_(std::move(book)) {}

void WorkbookObject::Perform(const Member& member, const Request& request, Answer& answer) {
  switch (member.id) {
    case kSaveAs: {
      request.ExpectCount(1, kSaveAsArguments);
      for (std::size_t i = 2; i < request.Count(); ++i) {
        if (!request.Omitted(i)) throw ApplicationError("Поддерживается сохранение только с именем и форматом файла");
      }
      std::string const path = request.Text(0);
      spreadsheet::FileFormat const format = SaveAsFormat(request, path);
      // There is no one to ask whether to replace the file: with alerts on,
      // an existing file is kept and the save refused.
      if (instance().displayAlerts && FileExists(path)) {
        throw ApplicationError("Файл «" + path + "» уже существует");
      }
      spreadsheet::Save(*book_, path, format);
      return;
    }
    case kWorksheets: {
      request.ExpectCount(0, 1);
      auto sheets = MakeObject<WorksheetsObject>(ComRef<DispatchObject>::Share(this), book_);
      if (request.Count() == 0) {
        answer.Object(std::move(sheets));
      } else {
        answer.Object(SheetOf(sharedInstance(), std::move(sheets), book_, request));
      }
      return;
    }
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
}

WorksheetsObject::WorksheetsObject(ComRef<DispatchObject> parent, std::shared_ptr<spreadsheet::Workbook> book)
    : DispatchObject(parent->sharedInstance(), kWorksheetsMembers), parent_(std::move(parent)), book_(std::move(book)) {}

void WorksheetsObject::Perform(const Member& member, const Request& request, Answer& answer) {
  switch (member.id) {
    case kItem:
      request.ExpectCount(1, 1);
      answer.Object(SheetOf(sharedInstance(), ComRef<DispatchObject>::Share(this), book_, request));
      return;
    case kCount:
      request.ExpectCount(0, 0);
      answer.Int32(CountOf(book_->WorksheetCount()));
      return;
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
}

}  // namespace sheetapp

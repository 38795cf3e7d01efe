#include "export/spreadsheet/workbook.h"

#include "export/spreadsheet/spreadsheet_error.h"
#include "base/utf.h"

namespace spreadsheet {
namespace {

// Sheet names compare without regard to case; the folding covers Latin and
// Cyrillic letters, the scripts this program's names are written in.
std::u16string Folded(std::u16string name) {
  for (char16_t& c : name) {
    if (c >= u'A' && c <= u'Z')
      c += 0x20;
    else if (c >= 0x0410 && c <= 0x042F)
      c += 0x20;  // А..Я
    else if (c >= 0x0400 && c <= 0x040F)
      c += 0x50;  // Ѐ..Џ, Ё among them
  }
  return name;
}

}  // namespace

Worksheet& Workbook::AddWorksheet() {
  for (std::size_t n = sheets_.size() + 1;; ++n) {
    const std::string name = kDefaultSheetNamePrefix + std::to_string(n);
    const std::u16string folded = Folded(*base::Utf8ToUtf16Strict(name));
    bool taken = false;
    for (const Worksheet& sheet : sheets_) taken = taken || Folded(*base::Utf8ToUtf16Strict(sheet.Name())) == folded;
    if (!taken) return AddWorksheet(name);
  }
}

Worksheet& Workbook::AddWorksheet(std::string_view name) {
  const auto reject = [&](const char* why) {
    throw SpreadsheetError("Недопустимое имя листа «" + std::string(name) + "»: " + why);
  };
  const auto utf16 = base::Utf8ToUtf16Strict(name);
  if (!utf16) reject("текст не в кодировке UTF-8");
  if (utf16->empty() || utf16->size() > 31) reject("имя должно содержать от 1 до 31 знака");
  if (utf16->find_first_of(u":\\/?*[]") != std::u16string::npos || utf16->find(u'\0') != std::u16string::npos ||
      utf16->find(u'\x03') != std::u16string::npos) {
    reject("имя содержит запрещённый знак");
  }
  if (utf16->front() == u'\'' || utf16->back() == u'\'') reject("имя начинается или кончается апострофом");
  const std::u16string folded = Folded(*utf16);
  for (const Worksheet& sheet : sheets_) {
    if (Folded(*base::Utf8ToUtf16Strict(sheet.Name())) == folded) reject("лист с таким именем уже есть");
  }
  return sheets_.emplace_back(std::string(name));
}

Worksheet& Workbook::WorksheetAt(std::size_t index) {
  return const_cast<Worksheet&>(static_cast<const Workbook&>(*this).WorksheetAt(index));
}

const Worksheet& Workbook::WorksheetAt(std::size_t index) const {
  if (index >= sheets_.size()) throw SpreadsheetError("Нет листа с номером " + std::to_string(index + 1));
  return sheets_[index];
}

}  // namespace spreadsheet

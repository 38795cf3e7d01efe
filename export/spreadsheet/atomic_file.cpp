#include "export/spreadsheet/atomic_file.h"

#include <system_error>

#include "export/spreadsheet/spreadsheet_error.h"

namespace spreadsheet {

void AtomicFile::Fail(const std::string& reason) const {
  throw SaveError("Не удалось сохранить файл «" + target_ + "»: " + reason);
}

void AtomicFile::FailWithSystemError(int error) const { Fail(std::generic_category().message(error)); }

}  // namespace spreadsheet

#include "export/spreadsheet/atomic_file.h"

#include "export/spreadsheet/spreadsheet_error.h"

namespace spreadsheet {

void AtomicFile::Fail(const std::string& reason) const { throw SaveError::Naming(target_, reason); }

}  // namespace spreadsheet

// The one error type of the built-in spreadsheet.
//
// Raised for any request the spreadsheet refuses (a malformed address, a value
// out of range, text that is not UTF-8) and for a save that failed. what() is a
// Russian description in UTF-8, ready to be shown to the user as it stands:
// the automation object model answers such an error with DISP_E_EXCEPTION and
// this text as the server's description.
#pragma once

#include <stdexcept>
#include <string>

namespace spreadsheet {

class SpreadsheetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A save that failed; the message names the file and the reason.
class SaveError : public SpreadsheetError {
 public:
  using SpreadsheetError::SpreadsheetError;

  // "Не удалось сохранить файл «<path>»: <reason>".
  static SaveError Naming(const std::string& path, const std::string& reason) {
    return SaveError("Не удалось сохранить файл «" + path + "»: " + reason);
  }
};

}  // namespace spreadsheet

// What one running instance of the built-in spreadsheet application holds,
// shared by every object handed out from it.
#pragma once

#include <memory>
#include <vector>

#include "export/spreadsheet/workbook.h"

namespace sheetapp {

struct InstanceState {
  // The open workbooks, oldest first; the last one is the active workbook.
  std::vector<std::shared_ptr<spreadsheet::Workbook>> workbooks;
  bool displayAlerts = true;
  // After "Quit" the instance is gone: its objects stay valid to hold and
  // release, but every call on them answers RPC_E_DISCONNECTED, the answer a
  // client gets from a server process that has ended.
  bool quit = false;
};

}  // namespace sheetapp

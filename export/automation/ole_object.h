// Starting an automation server by its programmatic identifier.
#pragma once

#include <string_view>

#include "export/automation/ole_variant.h"

namespace automation {

// The server registered as `progId`, started in or out of process
// (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER), as an IDispatch. A failing
// identifier lookup or creation raises EOleSysError with its result code.
OleVariant CreateOleObject(std::string_view progId);

}  // namespace automation

// What the start-up adds on Windows: the program's icon, and no system
// boxes of its own for a drive without a disk (the save dialog may look at
// one): the program reports what fails itself.
#include "app/kit/backend.h"
#include "app/kit/windows/native.h"
#include "app/kit/windows/program_icon.h"
#include "app/startup/program_resources.h"
#include "app/startup/startup.h"

namespace app {

void PreparePlatform(kit::Application&) {
  ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  kit::win::SetIconResource(LUMETRA_ICON_RESOURCE);
}

}  // namespace app

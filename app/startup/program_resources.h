// Numbers of the resources the Windows program carries (program.rc): shared
// by the resource script and the code that loads them.
#pragma once

// The program's icon; the lowest number, so that Explorer shows it for the
// executable.
#define LUMETRA_ICON_RESOURCE 1

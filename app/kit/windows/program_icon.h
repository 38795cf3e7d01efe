// The program's icon on Windows: an icon resource of the executable, which
// the forms and the task-bar button show at the sizes the desktop asks for.
#pragma once

namespace kit::win {

// The resource's number; 0 (the default) shows the system's own icon.
void SetIconResource(int id);

}  // namespace kit::win

// What the backend's windows share with the application object: the
// hidden application window that owns every form (its task-bar button
// carries the application title), the main form, the program's icon.
#pragma once

#include "app/kit/windows/native.h"
#include "app/kit/windows/program_icon.h"

namespace kit::win {

// The application window, made on first use (after COM is up, before the
// first form). Hidden from view: no size, but its task-bar button stands for
// the program.
HWND ApplicationWindow();
void SetApplicationWindowTitle(const std::wstring& title);
// With the application object: the window goes, and the main form with it.
void DestroyApplicationWindow();

// The form whose closing ends the message loop.
void SetMainForm(HWND form);
HWND MainForm();
// A form has closed (hidden): the main form's closing ends the loop.
void FormClosed(HWND form);

// The program's icon (SetIconResource, program_icon.h) at a size. The icon
// is shared: it stays until the program ends and is never destroyed.
HICON LoadProgramIcon(int size);
// Gives a window class the program's icons at the system's resolution, the
// sizes the desktop asks for. A window of the class shows them without a
// WM_SETICON, each of which has the window system convert the icons.
void GiveClassProgramIcons(WNDCLASSEXW& windowClass);

// The message-only window that runs the tasks posted to the main thread;
// it also owns what the program puts on the clipboard.
HWND TaskWindow();

// Lets the form under the message handle its dialog keys (Tab and the
// arrows between controls); true when it did.
bool HandleDialogKeys(MSG& message);

}  // namespace kit::win

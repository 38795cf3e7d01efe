// What only the toolkit's backend can do for the window tests: deliver real
// input through the system, read and answer the system's modal boxes and
// dialogs while they are up, and measure text the way the system does.
//
// One interface for every backend; each implements it in files named for
// it (*_qt.cpp here, *_windows.cpp for Win32). Everything else the tests do
// goes through the kit.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/kit/control.h"
#include "app/kit/font.h"
#include "app/kit/geometry.h"
#include "app/kit/keys.h"

namespace nativeui {

// Before the application object exists: the tests need no real display,
// and nothing the system's dialogs remember reaches the user's settings.
void PrepareTestRun();

// Whether the system's own texts (dialog buttons and the like) are Russian.
bool DesktopSpeaksRussian();

// Whether the test program can run the independent reader of saved
// workbooks (xlrd, on the build machine) itself. Not under Wine: the
// Windows build's .xls files are read back after its run instead
// (tests/export/windows).
bool CanReadWorkbooksBack();

// The size `text` takes in `font`, as the system measures a line of text.
TSize TextExtent(const TFont& font, const std::string& text);

// Input as the user gives it, through the system's event delivery, to a
// control of a shown window. Points are in the control's client area (for
// the grid: inside its frame).
void PressMouse(TControl& control, TMouseButton button, TPoint at, TShiftState shift = 0);
// Moves the mouse with the buttons pressed before still held.
void MoveMouse(TControl& control, TPoint at, TShiftState shift = 0);
void ReleaseMouse(TControl& control, TMouseButton button, TPoint at, TShiftState shift = 0);
void Click(TControl& control, TPoint at, TShiftState shift = 0);
// A key pressed and released while `control` has the keyboard focus.
void PressKey(TControl& control, int key, TShiftState shift = 0);
// Left clicks on the control's centre, put in the event queue: they arrive
// when the event loop next runs (as clicks made while a handler holds the
// window do).
void QueueClicks(TControl& control, int count);

// Opens the control's context menu at a client point, as the right mouse
// button does, chooses the item whose text is `choose` (nothing when it is
// empty or not there) and returns the items shown, each as its text, with a
// tab and its shortcut after it when it has one: "Копировать\tCtrl+C".
std::vector<std::string> ChooseFromContextMenu(TControl& control, TPoint at, const std::string& choose);

// A modal box or dialog of the system, as the user saw it.
enum class BoxIcon { None, Information, Warning, Question, Stop };

struct SeenBox {
  std::string caption;
  std::string text;  // a message box's message
  BoxIcon icon = BoxIcon::None;
  std::vector<std::string> buttons;  // left to right; '&' marks a mnemonic
  std::string defaultButton;         // empty when none is
  // A save-file dialog: its file-name field and its list of file types.
  bool saveDialog = false;
  std::string fileName;
  std::vector<std::string> fileTypes;
};

// How the user answers a box: text typed into its file-name field in place
// of what is there (a file dialog only), then a key.
struct Answer {
  Answer(int key = kit::key::Return, std::string typed = {}) : key(key), typed(std::move(typed)) {}
  int key;
  std::string typed;
};

// Runs `open`, which shows the system's modal boxes or dialogs and returns
// once they have closed. Each box that comes up meanwhile is read and
// answered with the next of `answers`; one beyond them gets Escape. Returns
// what each box showed, in order.
std::vector<SeenBox> AnswerBoxes(const std::function<void()>& open, std::vector<Answer> answers);

// A button's text as it reads, without the mnemonic marks: "&Yes" reads "Yes".
inline std::string Unmarked(const std::string& text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

}  // namespace nativeui

// The backend's one window procedure, for the windows of the classes it
// registers itself (the forms, the grid's and the paint box's surfaces):
// each such window belongs to an object, which handles its messages from the
// first one on, before CreateWindowExW has returned.
#pragma once

#include "app/kit/windows/native.h"

namespace kit::win {

class OwnWindow {
 public:
  virtual ~OwnWindow() = default;

  // Fills in the procedure, the module and the arrow cursor and registers
  // the class (once: a class registered already counts); false when the
  // system refuses it.
  static bool RegisterOwnClass(WNDCLASSEXW& windowClass);

 protected:
  // CreateWindowExW, with this object receiving the messages of the window
  // made if its class is one of ours.
  HWND MakeWindow(DWORD exStyle, const wchar_t* windowClass, const wchar_t* text, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menu = nullptr) const;
  // Cuts the window's way back to the object, whose messages go to the
  // system's default handling from then on.
  static void Forget(HWND window);

  // The window's first message is here: the object learns its handle.
  virtual void WindowMade(HWND window) const = 0;
  virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace kit::win

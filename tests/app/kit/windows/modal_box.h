// Looking at a modal box or dialog of this thread while it is up, and
// answering it by a key, as a user would: for the tests of the system's
// boxes and dialogs.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/kit/windows/native.h"

namespace wintest {

struct SeenButton {
  int id;
  std::string text;
};

struct SeenBox {
  bool found = false;
  std::wstring windowClass;
  std::string caption;
  std::vector<std::string> texts;  // the box's static texts
  std::vector<SeenButton> buttons;
  int defaultId = 0;
  HICON icon = nullptr;           // the icon it shows, if any
  std::string filter;             // a save dialog's chosen file type
};

// Runs `open`, which shows a modal box and returns once it has closed.
// As soon as the box is up, `answer` is called with it (to type into it,
// say) and the key `key` is posted to the control that has the focus in it.
SeenBox WhileBoxIsUp(const std::function<void()>& open, int key,
                     const std::function<void(HWND box)>& answer = {});

}  // namespace wintest

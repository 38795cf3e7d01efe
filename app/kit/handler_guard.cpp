#include "app/kit/handler_guard.h"

#include <exception>

#include "app/kit/dialogs.h"

namespace kit {

bool RunHandler(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    ShowErrorBox(error.what());
  } catch (...) {
    ShowErrorBox("Unknown error");
  }
  return false;
}

}  // namespace kit

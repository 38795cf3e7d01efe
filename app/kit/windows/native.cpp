// The small helpers of native.h that are not inline.
#include <algorithm>
#include <vector>

#include "app/kit/windows/native.h"

namespace kit::win {

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const int got = ::GetWindowTextW(window, buffer.data(), length + 1);
  return Narrow(std::wstring_view(buffer.data(), static_cast<std::size_t>(std::max(got, 0))));
}

HINSTANCE Module() {
  static const HINSTANCE module = [] {
    HMODULE own = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&Module), &own);
    return own;
  }();
  return module;
}

}  // namespace kit::win

#include "tests/app/kit/windows/modal_box.h"

namespace wintest {
namespace {

struct Watch {
  SeenBox seen;
  int key = 0;
  std::function<void(HWND)> answer;
  UINT_PTR timer = 0;
};

thread_local Watch* watching = nullptr;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

BOOL CALLBACK FindBox(HWND window, LPARAM result) {
  if (::IsWindowVisible(window) && ClassOf(window) == L"#32770") {
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
  }
  return TRUE;
}

void Read(HWND box, SeenBox& seen) {
  seen.found = true;
  seen.windowClass = ClassOf(box);
  seen.caption = kit::win::WindowText(box);
  const LRESULT defaultId = ::SendMessageW(box, DM_GETDEFID, 0, 0);
  if (HIWORD(defaultId) == DC_HASDEFID) seen.defaultId = LOWORD(defaultId);
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const std::wstring kind = ClassOf(child);
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if (kind == L"Button" && (style & WS_VISIBLE)) {
      seen.buttons.push_back({::GetDlgCtrlID(child), kit::win::WindowText(child)});
      if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && seen.defaultId == 0) seen.defaultId = ::GetDlgCtrlID(child);
    } else if (kind == L"Static") {
      if ((style & SS_TYPEMASK) == SS_ICON)
        seen.icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
      else if (!kit::win::WindowText(child).empty())
        seen.texts.push_back(kit::win::WindowText(child));
    } else if (kind == L"ComboBox" && ::GetDlgCtrlID(child) == 0x470) {  // cmb1: the file types
      seen.filter = kit::win::WindowText(child);
      const LRESULT chosen = ::SendMessageW(child, CB_GETCURSEL, 0, 0);
      if (chosen >= 0) {
        std::wstring text(static_cast<std::size_t>(::SendMessageW(child, CB_GETLBTEXTLEN, chosen, 0)) + 1, L'\0');
        ::SendMessageW(child, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text.data()));
        seen.filter = kit::win::Narrow(text.c_str());
      }
    }
  }
}

void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
  Watch* watch = watching;
  if (watch == nullptr || watch->seen.found) return;
  HWND box = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&box));
  if (box == nullptr) return;
  ::KillTimer(nullptr, watch->timer);
  Read(box, watch->seen);
  if (watch->answer) watch->answer(box);
  HWND focus = ::GetFocus();
  HWND target = focus != nullptr && (focus == box || ::IsChild(box, focus)) ? focus : box;
  ::PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(watch->key), 1);
  ::PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(watch->key), 0xC0000001);
}

}  // namespace

SeenBox WhileBoxIsUp(const std::function<void()>& open, int key, const std::function<void(HWND)>& answer) {
  Watch watch;
  watch.key = key;
  watch.answer = answer;
  Watch* outer = watching;
  watching = &watch;
  watch.timer = ::SetTimer(nullptr, 0, 50, &Look);
  open();
  ::KillTimer(nullptr, watch.timer);
  watching = outer;
  return watch.seen;
}

}  // namespace wintest

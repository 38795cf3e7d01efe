// Reading and answering the system's modal boxes and file dialogs while
// they are up: a thread timer, which their own message loops serve, looks
// for the enabled dialog window of this thread, reads its controls and
// posts the answer's keys to the control that has the focus, where the
// dialog manager takes them as the user's.
#include <algorithm>
#include <chrono>

#include "app/kit/windows/native.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/support/own_windows_windows.h"

namespace nativeui {
namespace {

// A box is taken for closed and shown anew when it is still up this long
// after its answer (a file dialog back after a box of its own).
constexpr auto kClosing = std::chrono::milliseconds(300);
// More boxes than any test shows: the rest are closed without a look.
constexpr std::size_t kMostBoxes = 10;
// The file dialog's controls: its list of file types and its file name.
constexpr int kFileTypes = 0x470;      // cmb1
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  if (::IsWindowVisible(window) && ::IsWindowEnabled(window) && ClassOf(window) == L"#32770") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

HWND FileNameField(HWND box) {
  if (HWND combo = ::GetDlgItem(box, kFileNameCombo)) {
    if (HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
    return combo;
  }
  return ::GetDlgItem(box, kFileNameEdit);
}

BoxIcon IconOf(HICON icon) {
  const struct {
    int id;
    BoxIcon icon;
  } known[] = {{32513, BoxIcon::Stop},  // IDI_HAND
               {32514, BoxIcon::Question},
               {32515, BoxIcon::Warning},       // IDI_EXCLAMATION
               {32516, BoxIcon::Information}};  // IDI_ASTERISK
  for (const auto& k : known)
    if (icon != nullptr && icon == ::LoadIconW(nullptr, MAKEINTRESOURCEW(k.id))) return k.icon;
  return BoxIcon::None;
}

SeenBox Read(HWND box) {
  SeenBox seen;
  seen.caption = kit::win::WindowText(box);
  HWND types = ::GetDlgItem(box, kFileTypes);
  seen.saveDialog = types != nullptr && ClassOf(types) == L"ComboBox";
  if (seen.saveDialog) {
    const LRESULT count = ::SendMessageW(types, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      std::wstring item(static_cast<std::size_t>(::SendMessageW(types, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
      ::SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
      seen.fileTypes.push_back(kit::win::Narrow(item.c_str()));
    }
    if (HWND name = FileNameField(box)) seen.fileName = kit::win::WindowText(name);
  }
  // The buttons as they stand, left to right; the message beside the icon.
  std::vector<std::pair<LONG, HWND>> buttons;
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if (!(style & WS_VISIBLE)) continue;
    const std::wstring kind = ClassOf(child);
    const LONG type = style & BS_TYPEMASK;
    if (kind == L"Button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)) {
      RECT rect;
      ::GetWindowRect(child, &rect);
      buttons.emplace_back(rect.left, child);
    } else if (kind == L"Static" && !seen.saveDialog) {
      if ((style & SS_TYPEMASK) == SS_ICON)
        seen.icon = IconOf(reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0)));
      else if (seen.text.empty())
        seen.text = kit::win::WindowText(child);
    }
  }
  std::stable_sort(buttons.begin(), buttons.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  // The default is the button drawn as such, which Enter clicks; the
  // dialog's own record of it (DM_GETDEFID) may name a button it lacks.
  for (const auto& [left, button] : buttons) {
    seen.buttons.push_back(kit::win::WindowText(button));
    if ((::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON && seen.defaultButton.empty())
      seen.defaultButton = kit::win::WindowText(button);
  }
  const LRESULT defaultId = ::SendMessageW(box, DM_GETDEFID, 0, 0);
  if (seen.defaultButton.empty() && HIWORD(defaultId) == DC_HASDEFID)
    if (HWND button = ::GetDlgItem(box, LOWORD(defaultId)); button != nullptr && ::IsWindowVisible(button))
      seen.defaultButton = kit::win::WindowText(button);
  return seen;
}

void PostKey(HWND target, int key) {
  const UINT scan = ::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
  ::PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(key), static_cast<LPARAM>(1 | scan << 16));
  ::PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(key), static_cast<LPARAM>(1 | scan << 16 | 0xC0000000u));
}

void Give(HWND box, const Answer& answer) {
  HWND focus = ::GetFocus();
  if (focus == nullptr || (focus != box && !::IsChild(box, focus))) focus = box;
  if (!answer.typed.empty()) {
    if (HWND name = FileNameField(box)) {
      // What is there goes, as a typed name replaces a selected one.
      ::SetFocus(name);
      ::SetWindowTextW(name, kit::win::Wide(answer.typed).c_str());
      focus = name;
    }
  }
  PostKey(focus, answer.key);
}

struct Probe {
  std::vector<SeenBox> seen;
  std::vector<Answer> answers;
  HWND lastBox = nullptr;
  std::chrono::steady_clock::time_point answered;
  UINT_PTR timer = 0;
};

thread_local Probe* probing = nullptr;

void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
  Probe* probe = probing;
  if (probe == nullptr) return;
  HWND box = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&box));
  if (box == nullptr) return;
  if (box == probe->lastBox && std::chrono::steady_clock::now() - probe->answered < kClosing) return;
  if (probe->seen.size() >= kMostBoxes) {
    ::PostMessageW(box, WM_CLOSE, 0, 0);
    return;
  }
  probe->seen.push_back(Read(box));
  const std::size_t index = probe->seen.size() - 1;
  const Answer answer = index < probe->answers.size() ? probe->answers[index] : Answer{kit::key::Escape, {}};
  probe->lastBox = box;
  probe->answered = std::chrono::steady_clock::now();
  Give(box, answer);
}

}  // namespace

std::vector<SeenBox> AnswerBoxes(const std::function<void()>& open, std::vector<Answer> answers) {
  Probe probe;
  probe.answers = std::move(answers);
  Probe* outer = probing;
  probing = &probe;
  probe.timer = ::SetTimer(nullptr, 0, 10, &Look);
  open();
  ::KillTimer(nullptr, probe.timer);
  probing = outer;
  return probe.seen;
}

}  // namespace nativeui

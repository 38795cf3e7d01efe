// Real input on Win32: the messages the system sends a window for the
// user's mouse and keys, posted to the control's own window and delivered
// by the application's message loop (so that Tab goes through the dialog
// manager, clicks give the focus, a right click asks for the context
// menu). The modifier keys are set in the thread's keyboard state while a
// key or click is delivered, as if held.
#include <array>
#include <stdexcept>

#include "app/kit/backend.h"
#include "app/kit/windows/control_peer.h"
#include "app/kit/windows/native.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/support/own_windows_windows.h"

namespace nativeui {
namespace {

HWND WindowOf(const TControl& control) {
  const auto* child = dynamic_cast<const kit::win::NativeChild*>(&control.Peer());
  if (child == nullptr) throw std::logic_error("not a control of the Win32 backend");
  return child->Hwnd();
}

int DpiOf(const TControl& control) { return dynamic_cast<const kit::win::NativeChild&>(control.Peer()).Dpi(); }

LPARAM DevicePoint(const TControl& control, TPoint at) {
  const int dpi = DpiOf(control);
  return MAKELPARAM(kit::win::ToDevice(at.X, dpi), kit::win::ToDevice(at.Y, dpi));
}

void Deliver() { kit::Application::Instance()->ProcessMessages(); }

// Mouse buttons held between a press and its release.
WPARAM heldButtons = 0;

WPARAM MouseKeys(TShiftState shift) {
  WPARAM keys = heldButtons;
  if (shift & ssShift) keys |= MK_SHIFT;
  if (shift & ssCtrl) keys |= MK_CONTROL;
  return keys;
}

// The modifiers as held keys, for as long as the object lives.
class HeldModifiers {
 public:
  explicit HeldModifiers(TShiftState shift) {
    ::GetKeyboardState(saved_.data());
    std::array<BYTE, 256> state = saved_;
    const auto hold = [&state](int key, bool down) { state[key] = down ? 0x80 : 0; };
    hold(VK_SHIFT, shift & ssShift);
    hold(VK_LSHIFT, shift & ssShift);
    hold(VK_CONTROL, shift & ssCtrl);
    hold(VK_LCONTROL, shift & ssCtrl);
    hold(VK_MENU, shift & ssAlt);
    hold(VK_LMENU, shift & ssAlt);
    ::SetKeyboardState(state.data());
  }
  ~HeldModifiers() { ::SetKeyboardState(saved_.data()); }
  HeldModifiers(const HeldModifiers&) = delete;
  HeldModifiers& operator=(const HeldModifiers&) = delete;

 private:
  std::array<BYTE, 256> saved_{};
};

UINT DownMessage(TMouseButton button) {
  switch (button) {
    case TMouseButton::mbLeft: return WM_LBUTTONDOWN;
    case TMouseButton::mbRight: return WM_RBUTTONDOWN;
    case TMouseButton::mbMiddle: return WM_MBUTTONDOWN;
  }
  return WM_LBUTTONDOWN;
}

WPARAM ButtonKey(TMouseButton button) {
  switch (button) {
    case TMouseButton::mbLeft: return MK_LBUTTON;
    case TMouseButton::mbRight: return MK_RBUTTON;
    case TMouseButton::mbMiddle: return MK_MBUTTON;
  }
  return MK_LBUTTON;
}

}  // namespace

void PressMouse(TControl& control, TMouseButton button, TPoint at, TShiftState shift) {
  HeldModifiers modifiers(shift);
  heldButtons |= ButtonKey(button);
  ::PostMessageW(WindowOf(control), DownMessage(button), MouseKeys(shift), DevicePoint(control, at));
  Deliver();
}

void MoveMouse(TControl& control, TPoint at, TShiftState shift) {
  HeldModifiers modifiers(shift);
  // A window that holds the mouse hears of it however far it goes.
  HWND target = ::GetCapture() != nullptr ? ::GetCapture() : WindowOf(control);
  ::PostMessageW(target, WM_MOUSEMOVE, MouseKeys(shift), DevicePoint(control, at));
  Deliver();
}

void ReleaseMouse(TControl& control, TMouseButton button, TPoint at, TShiftState shift) {
  HeldModifiers modifiers(shift);
  heldButtons &= ~ButtonKey(button);
  HWND target = ::GetCapture() != nullptr ? ::GetCapture() : WindowOf(control);
  ::PostMessageW(target, DownMessage(button) + 1, MouseKeys(shift), DevicePoint(control, at));
  Deliver();
}

void Click(TControl& control, TPoint at, TShiftState shift) {
  PressMouse(control, TMouseButton::mbLeft, at, shift);
  ReleaseMouse(control, TMouseButton::mbLeft, at, shift);
}

void PressKey(TControl& control, int key, TShiftState shift) {
  if (!control.HasFocus()) {
    control.SetFocus();
    Deliver();
  }
  HeldModifiers modifiers(shift);
  HWND focus = ::GetFocus();
  const UINT scan = ::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
  ::PostMessageW(focus, WM_KEYDOWN, static_cast<WPARAM>(key), static_cast<LPARAM>(1 | scan << 16));
  ::PostMessageW(focus, WM_KEYUP, static_cast<WPARAM>(key), static_cast<LPARAM>(1 | scan << 16 | 0xC0000000u));
  Deliver();
}

void QueueClicks(TControl& control, int count) {
  HWND window = WindowOf(control);
  RECT client;
  ::GetClientRect(window, &client);
  const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
  for (int click = 0; click < count; ++click) {
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    ::PostMessageW(window, WM_LBUTTONUP, 0, centre);
  }
}

namespace {

struct MenuWatch {
  std::string choose;
  std::vector<std::string> items;
  bool seen = false;
  UINT_PTR timer = 0;
};

thread_local MenuWatch* menuWatch = nullptr;

// Inside the menu's own loop: reads the menu that is up, then picks the
// item with the keys (down to it, Enter) or closes it (Escape).
void CALLBACK LookAtMenu(HWND, UINT, UINT_PTR, DWORD) {
  MenuWatch* watch = menuWatch;
  if (watch == nullptr || watch->seen) return;
  HWND menuWindow = OwnWindow(L"#32768");
  if (menuWindow == nullptr || !::IsWindowVisible(menuWindow)) return;
  HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
  if (menu == nullptr) return;
  watch->seen = true;
  ::KillTimer(nullptr, watch->timer);
  int chosen = -1;
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    const std::string item = kit::win::Narrow(text);
    watch->items.push_back(item);
    if (!watch->choose.empty() && item.substr(0, item.find('\t')) == watch->choose) chosen = i;
  }
  const auto key = [menuWindow](WPARAM vk) {
    ::PostMessageW(menuWindow, WM_KEYDOWN, vk, 1);
    ::PostMessageW(menuWindow, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
  };
  if (chosen < 0) {
    key(VK_ESCAPE);
    return;
  }
  for (int i = 0; i <= chosen; ++i) key(VK_DOWN);
  key(VK_RETURN);
}

}  // namespace

std::vector<std::string> ChooseFromContextMenu(TControl& control, TPoint at, const std::string& choose) {
  MenuWatch watch;
  watch.choose = choose;
  MenuWatch* outer = menuWatch;
  menuWatch = &watch;
  watch.timer = ::SetTimer(nullptr, 0, 10, &LookAtMenu);
  // The right button's release asks for the menu, as on Windows.
  HWND window = WindowOf(control);
  const LPARAM point = DevicePoint(control, at);
  ::PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, point);
  ::PostMessageW(window, WM_RBUTTONUP, 0, point);
  Deliver();
  ::KillTimer(nullptr, watch.timer);
  menuWatch = outer;
  return watch.items;
}

}  // namespace nativeui

// The top-level form: a window of class "TForm" on the button-face
// background, owned by the hidden application window so that the task bar
// shows the application title while the caption shows the form's own.
#pragma once

#include <set>
#include <vector>

#include "app/kit/backend.h"
#include "app/kit/windows/native.h"
#include "app/kit/windows/own_window.h"

namespace kit::win {

class NativeChild;

class NativeForm final : public FormPeer, private OwnWindow {
 public:
  // Owned by `owner`'s window, or by the application window.
  explicit NativeForm(NativeForm* owner);
  ~NativeForm() override;

  void SetEvents(FormEvents* events) override { events_ = events; }

  HWND Hwnd() const { return hwnd_; }
  int Dpi() const { return dpi_; }
  int NextControlId() { return nextId_++; }
  void AddChild(NativeChild& child) { children_.push_back(&child); }
  void RemoveChild(NativeChild& child);
  // Makes the windows of the controls that have none yet, in the order the
  // controls were made (the first on top); from then on a new control
  // makes its window at once.
  void MakeChildren() const;
  bool ChildrenMade() const { return childrenMade_; }
  // Shows `text` when the mouse rests on `control`; empty removes it.
  void SetToolTip(HWND control, const std::wstring& text);

  // ControlPeer: for a form, bounds are the outer frame on the screen.
  void SetBounds(const TRect& bounds) override;
  TRect Bounds() const override { return FrameRect(); }
  void SetText(const std::string& text) override { ::SetWindowTextW(hwnd_, Wide(text).c_str()); }
  std::string Text() const override { return WindowText(hwnd_); }
  void SetFont(const TFont& font) override { font_ = font; }
  TSize TextExtent() const override;
  void SetHint(const std::string& text) override { hint_ = text; }
  std::string Hint() const override { return hint_; }
  void SetVisible(bool visible) override;
  bool IsVisible() const override { return ::IsWindowVisible(hwnd_) != FALSE; }
  void SetFocus() override;
  bool HasFocus() const override;
  void SetTabStop(bool) override {}
  bool TabStop() const override { return false; }
  void BringToFront() override { ::SetForegroundWindow(hwnd_); }
  void Invalidate() override { ::InvalidateRect(hwnd_, nullptr, TRUE); }
  // The client area: the frame around it is the desktop's.
  Image Grab() const override;

  // FormPeer
  void SetPlacement(const WindowPlacement& placement) override;
  TRect FrameRect() const override;
  TSize ClientSize() const override;
  void Show() override;
  bool Close() override;
  ControlPeer* ChildAt(TPoint at) const override;
  void SetTabOrder(const std::vector<ControlPeer*>& order) override;
  std::vector<ControlPeer*> TabCycle(ControlPeer* from) const override;
  Image Icon(int size) const override;
  std::string TaskBarText() const override;

 private:
  void WindowMade(HWND window) const override { hwnd_ = window; }
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  NativeChild* ChildOf(const ControlPeer* peer) const;
  void SetIcons();
  void ResolutionChanged(int dpi, const RECT* suggested);

  FormEvents* events_ = nullptr;
  mutable HWND hwnd_ = nullptr;
  int dpi_ = kLayoutDpi;
  TFont font_;
  std::string hint_;
  std::vector<NativeChild*> children_;
  int nextId_ = 100;  // clear of IDOK, IDCANCEL and the other dialog answers
  HWND tooltip_ = nullptr;
  // The controls the tooltip has a tool for. Kept here rather than asked
  // of the tooltip, whose answer copies the tool's text into the caller's
  // buffer, however long the text is.
  std::set<HWND> tools_;
  HWND lastFocus_ = nullptr;  // given back when the form is activated again
  bool closedByQuery_ = false;
  mutable bool childrenMade_ = false;
  bool ownIcons_ = false;  // icons set on the window, not the class's
};

// Every FormPeer of this backend is a NativeForm: CreateFormPeer makes no
// other kind. The parent a control's peer is made in, an owner, the main
// window are taken for one here, and nowhere else.
NativeForm& FormWindowOf(FormPeer& peer);

}  // namespace kit::win

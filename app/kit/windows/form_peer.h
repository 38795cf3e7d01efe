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

  void setEvents(FormEvents* events) override { events_ = events; }

  HWND hwnd() const { return hwnd_; }
  int dpi() const { return dpi_; }
  int nextControlId() { return nextId_++; }
  void addChild(NativeChild& child) { children_.push_back(&child); }
  void removeChild(NativeChild& child);
  // Makes the windows of the controls that have none yet, in the order the
  // controls were made (the first on top); from then on a new control
  // makes its window at once.
  void makeChildren() const;
  bool childrenMade() const { return childrenMade_; }
  // Shows `text` when the mouse rests on `control`; empty removes it.
  void setToolTip(HWND control, const std::wstring& text);

  // ControlPeer: for a form, bounds are the outer frame on the screen.
  void setBounds(const TRect& bounds) override;
  TRect bounds() const override { return frameRect(); }
  void setText(const std::string& text) override { ::SetWindowTextW(hwnd_, Wide(text).c_str()); }
  std::string text() const override { return WindowText(hwnd_); }
  void setFont(const TFont& font) override { font_ = font; }
  TSize textExtent() const override;
  void setHint(const std::string& text) override { hint_ = text; }
  std::string hint() const override { return hint_; }
  void setVisible(bool visible) override;
  bool isVisible() const override { return ::IsWindowVisible(hwnd_) != FALSE; }
  void setFocus() override;
  bool hasFocus() const override;
  void setTabStop(bool) override {}
  bool tabStop() const override { return false; }
  void bringToFront() override { ::SetForegroundWindow(hwnd_); }
  void invalidate() override { ::InvalidateRect(hwnd_, nullptr, TRUE); }
  // The client area: the frame around it is the desktop's.
  Image grab() const override;

  // FormPeer
  void setPlacement(const WindowPlacement& placement) override;
  TRect frameRect() const override;
  TSize clientSize() const override;
  void show() override;
  bool close() override;
  ControlPeer* childAt(TPoint at) const override;
  void setTabOrder(const std::vector<ControlPeer*>& order) override;
  std::vector<ControlPeer*> tabCycle(ControlPeer* from) const override;
  Image icon(int size) const override;
  std::string taskBarText() const override;

 private:
  void windowMade(HWND window) const override { hwnd_ = window; }
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  NativeChild* childOf(const ControlPeer* peer) const;
  void setIcons();
  void resolutionChanged(int dpi, const RECT* suggested);

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

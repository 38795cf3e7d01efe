// The base of the program's windows: a top-level window on the button-face
// background, placed where its layout says, with a create event and a
// close query. Its controls are the components it owns.
#pragma once

#include <functional>
#include <vector>

#include "app/kit/control.h"

class TForm : public TControl, private kit::FormEvents {
 public:
  // A form owned by another form is a window of that form's (backend.h):
  // above it, closed with it, of a fixed size.
  explicit TForm(TComponent* owner = nullptr);
  ~TForm() override;

  std::string Caption() const { return Text(); }
  void SetCaption(const std::string& caption) { SetText(caption); }

  void SetPlacement(const kit::WindowPlacement& placement);
  // The outer frame on the screen, and the area inside it.
  TRect FrameRect() const { return FormPeer().FrameRect(); }
  TSize ClientSize() const { return FormPeer().ClientSize(); }

  void Show() { FormPeer().Show(); }
  // Asks to close the window, as the user's close does: OnCloseQuery
  // decides. True when the window closed.
  bool Close() { return FormPeer().Close(); }

  // The control on top at a client point, or nullptr.
  TControl* ControlAt(TPoint at) const;
  // Makes Tab visit these controls in this order (the layout's tab order).
  void SetTabOrder(const std::vector<TControl*>& order);
  // The controls Tab reaches from `from`, in order, back to `from`.
  std::vector<TControl*> TabCycle(TControl* from) const;

  // The window's icon, and the text the task bar shows for the program.
  kit::Image Icon(int size) const { return FormPeer().Icon(size); }
  std::string TaskBarText() const { return FormPeer().TaskBarText(); }

  // Runs when the window's construction is complete.
  std::function<void(TObject* Sender)> OnCreate;
  // Asked before the window closes; the window closes when CanClose stays true.
  std::function<void(TObject* Sender, bool& CanClose)> OnCloseQuery;

  kit::FormPeer& FormPeer() const;

 protected:
  // Fires OnCreate; an error it raises goes to the standard error box and
  // the window's creation goes on.
  void DoCreate();

 private:
  friend class TControl;
  // The control a peer shows, among the window's own.
  TControl* ControlOf(const kit::ControlPeer* peer) const;
  bool CloseQuery() override;
};

// The contract between the widget kit and its backends: everything a
// platform's backend provides, and nothing else. The kit's controls, the grid
// and the canvas are written once over it; app/kit/qt/ (Qt Widgets, Linux)
// and app/kit/windows/ (Win32 controls) each implement all of it, in files of
// the same names, named below for each group.
//
// Geometry is in layout pixels (96 dots per inch) in the parent's client
// area; a backend drawing at another resolution scales on the way. Texts are
// UTF-8.
//
// Peers. Each control of the kit owns one peer: the native window (a Qt
// widget, a Win32 window) that shows it. The control holds what the layout
// and the program set; the peer puts it on the screen and answers what the
// system has made of it. A peer placed in a window is made with that
// window's FormPeer as its parent, and every FormPeer is one CreateFormPeer
// made: a backend may take the parent for its own kind of form peer.
//
// Events. A control and its peer meet one way. The control makes its peer
// first (Create...Peer, in its base's initialiser); then, in its constructor
// body, it attaches itself as the peer's events (SetEvents(this)); in its
// destructor it detaches them (SetEvents(nullptr)), before the peer goes. A
// peer hands what the system tells it to its events only while some are
// attached, and drops it otherwise: the system speaks to a window while the
// control is still being made, and while it is going.
//
// The backend also implements three interfaces of the kit that the tests
// implement too, each in its own header: the painter (PaintDevice,
// paint_device.h), the boxes and dialogs (Dialogs, dialogs.h) and the desktop
// (Desktop, desktop.h). Their system instances are declared here.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/kit/colors.h"
#include "app/kit/desktop.h"
#include "app/kit/dialogs.h"
#include "app/kit/font.h"
#include "app/kit/geometry.h"
#include "app/kit/image.h"
#include "app/kit/keys.h"
#include "app/kit/paint_device.h"
#include "app/kit/printing.h"

// The colour a system colour stands for on this desktop now; any other
// colour as it is (system_colors.cpp).
TColor ColorToRGB(TColor color);

namespace kit {

// ---------------------------------------------------------------------------
// The application object and the event loop's services: application.cpp,
// queued_input.cpp (DropQueuedInput), clipboard.cpp (the clipboard).

class FormPeer;

class Application {
 public:
  // Sets the system's window machinery up for this process; the first and
  // only instance. The command line is the system's business only: the
  // program itself takes no arguments.
  Application(int argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The application title: the program's name on the task bar and the
  // caption of its error box. Set it before the first window is created.
  void SetTitle(const std::string& title);
  const std::string& Title() const { return title_; }

  // Shows the main window and runs the event loop until it has closed;
  // returns the program's exit status.
  int Run(FormPeer& mainWindow);
  // Handles everything waiting in the event queue, then returns.
  void ProcessMessages();

  static Application* Instance();

 private:
  struct Native;
  std::unique_ptr<Native> native_;
  std::string title_;
};

// The application title, or empty before an application exists.
std::string ApplicationTitle();

// Runs `task` on the user-interface thread, later, in the order posted.
// Callable from any thread; tasks still queued when the application ends
// are dropped.
void PostToMainThread(std::function<void()> task);

// Delivers what waits in the event queue, dropping the mouse, keyboard,
// wheel and touch input among it. Called when a handler that held the
// window (a read, an export) returns: clicks the user made meanwhile must
// not start the same work again afterwards, one after another.
void DropQueuedInput();

// Calls `onReadable` on the user-interface thread whenever `fd` has data,
// for as long as the returned object lives. nullptr where the system offers
// no such watch (Windows, where devices announce themselves to windows).
class ReadableWatch {
 public:
  virtual ~ReadableWatch() = default;
};
std::unique_ptr<ReadableWatch> WatchReadable(int fd, std::function<void()> onReadable);

// The system clipboard, as text.
std::string ClipboardText();
void SetClipboardText(const std::string& text);

// ---------------------------------------------------------------------------
// What every peer does: control_peer.cpp (with control_peer.h, the part
// every kind of peer shares).

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;

  virtual void SetBounds(const TRect& bounds) = 0;
  // Where the system has placed the control.
  virtual TRect Bounds() const = 0;

  // As the system holds them.
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  // Face, height, style and colour; the colour is that of the text.
  virtual void SetFont(const TFont& font) = 0;
  // The size the control's text needs in its font: the size a label that
  // sizes itself to its text takes.
  virtual TSize TextExtent() const = 0;
  // The tooltip; empty for none.
  virtual void SetHint(const std::string& text) = 0;
  virtual std::string Hint() const = 0;

  virtual void SetVisible(bool visible) = 0;
  // Shown itself and inside a shown window.
  virtual bool IsVisible() const = 0;
  virtual void SetFocus() = 0;
  virtual bool HasFocus() const = 0;
  // Whether Tab stops at the control.
  virtual void SetTabStop(bool stop) = 0;
  virtual bool TabStop() const = 0;
  // Puts the control above its siblings, covering what it overlaps.
  virtual void BringToFront() = 0;
  // Asks for a repaint of the whole control.
  virtual void Invalidate() = 0;

  // What the control shows now, its whole outer area, in device pixels.
  virtual Image Grab() const = 0;
};

// ---------------------------------------------------------------------------
// The top-level window: form_peer.cpp.

class FormEvents {
 public:
  virtual ~FormEvents() = default;
  // The user (or the program) asks to close the window; true lets it close.
  virtual bool CloseQuery() = 0;
};

// Where the stored layout puts the window. The outer size is the frame's;
// the client size is what the frame holds on the desktop the layout was
// made on. A backend whose system lets it set the outer size sets that
// (Win32); one whose frame belongs to the window manager sets the client
// size (Qt).
struct WindowPlacement {
  TPoint framePosition;  // top-left corner of the outer frame, on the screen
  TSize outerSize;
  TSize clientSize;
};

class FormPeer : public ControlPeer {
 public:
  // Without events a close is never refused.
  virtual void SetEvents(FormEvents* events) = 0;

  virtual void SetPlacement(const WindowPlacement& placement) = 0;
  // The outer frame on the screen, as far as the system tells it.
  virtual TRect FrameRect() const = 0;
  virtual TSize ClientSize() const = 0;

  virtual void Show() = 0;
  // Closes the window as the user's close does, asking the events first;
  // true when it closed.
  virtual bool Close() = 0;

  // The child whose window is on top at a client point, or nullptr.
  virtual ControlPeer* ChildAt(TPoint at) const = 0;
  // Makes Tab visit the tab-stop children in this order.
  virtual void SetTabOrder(const std::vector<ControlPeer*>& order) = 0;
  // The children Tab reaches from `from`, in order, ending with `from` itself
  // when the cycle comes back to it.
  virtual std::vector<ControlPeer*> TabCycle(ControlPeer* from) const = 0;

  // The window's icon drawn at size x size pixels, with its transparency.
  virtual Image Icon(int size) const = 0;
  // The text the desktop's task bar shows for the program's window.
  virtual std::string TaskBarText() const = 0;
};

// A window of its own, or, with an owner, a window that belongs to another:
// it stays above its owner and goes with it, has no task-bar button of its
// own, and its frame has a caption with a close button only, at the fixed
// size its placement gives.
std::unique_ptr<FormPeer> CreateFormPeer(FormPeer* owner = nullptr);

// ---------------------------------------------------------------------------
// The push button: button_peer.cpp.

class ButtonEvents {
 public:
  virtual ~ButtonEvents() = default;
  // The user clicked the button (or the system was told to click it).
  virtual void Clicked() = 0;
};

// The desktop's push button: a click, and Enter or Space while it has the
// focus, click it. It is never a default button: Enter elsewhere in the
// window clicks no button.
class ButtonPeer : public ControlPeer {
 public:
  virtual void SetEvents(ButtonEvents* events) = 0;
  // Clicks the button through the system, as the user's click arrives.
  virtual void Click() = 0;
  // True when Enter anywhere in the window would click it.
  virtual bool IsDefault() const = 0;
};

std::unique_ptr<ButtonPeer> CreateButtonPeer(FormPeer& parent);

// ---------------------------------------------------------------------------
// Texts: label_peers.cpp.

// A text label on one line that paints no background (the window's shows
// through).
std::unique_ptr<ControlPeer> CreateLabelPeer(FormPeer& parent);
// The status line (a static text): a sunken edge, the text centred both
// ways, a background of its own; it takes no focus.
std::unique_ptr<ControlPeer> CreateStaticTextPeer(FormPeer& parent);

// ---------------------------------------------------------------------------
// Areas the kit paints itself (the string grid, a paint box):
// surface_peer.cpp, painting through paint_device.cpp.

enum class ScrollBar { Horizontal, Vertical };

struct MenuItem {
  std::string text;      // "Копировать"
  std::string shortcut;  // shown beside it, as the system writes it: "Ctrl+C"
  std::function<void()> action;
};

// What a surface hands to its control. Only the painting is every
// control's business; the rest reaches a framed surface only, and is
// ignored unless the control takes it.
class SurfaceEvents {
 public:
  virtual ~SurfaceEvents() = default;
  // Paints the client area, or the part of it in `dirty`; every pixel of it.
  virtual void Paint(PaintDevice& device, const TRect& dirty) = 0;
  // Client coordinates.
  virtual void MouseDown(TMouseButton /*button*/, TShiftState /*shift*/, TPoint /*at*/) {}
  virtual void MouseMove(TShiftState /*shift*/, TPoint /*at*/) {}
  virtual void MouseUp(TMouseButton /*button*/, TShiftState /*shift*/, TPoint /*at*/) {}
  // A key pressed while the control has the focus; true when it used it.
  virtual bool KeyDown(int /*key*/, TShiftState /*shift*/) { return false; }
  // The user asked for the context menu at a client point.
  virtual void ContextMenu(TPoint /*at*/) {}
  virtual void FocusChanged(bool /*focused*/) {}
  // The client area changed size.
  virtual void Resized() {}
  // The user moved a scroll bar to `position`.
  virtual void Scrolled(ScrollBar /*bar*/, int /*position*/) {}
};

enum class SurfaceKind {
  // The grid's: a sunken two-pixel frame, scroll bars as needed, the focus
  // (a click gives it the focus before the control hears of the click), the
  // mouse, the keys and a context menu.
  Framed,
  // A paint box's: its painting only; no frame, focus, input or scroll bars.
  // The mouse goes on to the window beneath.
  Plain,
};

class SurfacePeer : public ControlPeer {
 public:
  virtual void SetEvents(SurfaceEvents* events) = 0;
  // The client area: inside the frame, less the scroll bars shown.
  virtual TSize ClientSize() const = 0;
  // The client area there would be with no scroll bar shown.
  virtual TSize ClientSizeWithoutBars() const = 0;
  // How much room a scroll bar takes across.
  virtual int ScrollBarExtent() const = 0;
  // Shows the bar for positions 0 to maximum with the thumb at `position`;
  // a maximum of 0 hides it.
  virtual void SetScrollBar(ScrollBar bar, int maximum, int page, int position) = 0;
  // The bar's maximum as the system has it; 0 while it is hidden.
  virtual int ScrollBarMaximum(ScrollBar bar) const = 0;
  // Shows the menu at a client point and returns when it has closed; a
  // chosen item's action has run by then.
  virtual void PopupMenu(TPoint at, const std::vector<MenuItem>& items) = 0;
  // The client area as painted now, in device pixels.
  virtual Image GrabClient() const = 0;
};

std::unique_ptr<SurfacePeer> CreateSurfacePeer(FormPeer& parent, SurfaceKind kind);

// ---------------------------------------------------------------------------
// What the desktop's theme decides: system_colors.cpp (ColorToRGB, above,
// outside the namespace as the colours are), fonts.cpp.

// The family the system really draws a font with (a machine without the
// layout's family draws with a substitute).
std::string ResolvedFontFamily(const TFont& font);

// ---------------------------------------------------------------------------
// The system's boxes and dialogs, and its desktop: native_dialogs.cpp,
// native_desktop.cpp.

// The system's boxes and dialogs, modal to the active window.
Dialogs& NativeDialogs();

// Linux's XDG documents folder ("~/Documents" when none is set) and the
// desktop's file manager; Windows' Documents known folder and Explorer.
Desktop& NativeDesktop();

// ---------------------------------------------------------------------------
// Pages: printing.cpp. The print dialog is NativeDialogs().print.

// Whether SaveAsPdf can make a PDF here. Qt always can; Windows through its
// own "Microsoft Print to PDF" printer, which Windows 10 and later have.
bool CanSaveAsPdf();

// The job as a PDF file at `path`, A4 portrait. Where the toolkit makes PDFs
// (Qt), the program writes it through `store`, so that a failure leaves an
// existing file as it was; on Windows "Microsoft Print to PDF" prints it
// into the file. Without that printer nothing happens: NoPdfPrinter.
PrintResult SaveAsPdf(const PrintJob& job, const std::string& path, const StoreFile& store);

// A paint device that shows nothing and measures text as a page of `dpi`
// on this system does: for drawing a page where no printer is, as the
// tests and the benchmarks do.
std::unique_ptr<PaintDevice> CreatePageMeasuringDevice(int dpi);

}  // namespace kit

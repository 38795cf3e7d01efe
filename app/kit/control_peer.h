// The seam between a control of the kit and the system: each control owns
// one peer, the native window (a Qt widget, a Win32 window) that shows it.
// The kit's controls hold what the layout and the program set; the peer
// puts it on the screen and answers what the system has made of it.
//
// Geometry is in layout pixels (96 dots per inch) in the parent's client
// area; a backend drawing at another resolution scales on the way.
#pragma once

#include <memory>
#include <string>

#include "app/kit/font.h"
#include "app/kit/geometry.h"
#include "app/kit/image.h"

namespace kit {

class FormPeer;

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;

  virtual void setBounds(const TRect& bounds) = 0;
  // Where the system has placed the control.
  virtual TRect bounds() const = 0;

  // UTF-8 texts, as the system holds them.
  virtual void setText(const std::string& text) = 0;
  virtual std::string text() const = 0;
  // Face, height, style and colour; the colour is that of the text.
  virtual void setFont(const TFont& font) = 0;
  // The size the control's text needs in its font: the size a label that
  // sizes itself to its text takes.
  virtual TSize textExtent() const = 0;
  // The tooltip; empty for none.
  virtual void setHint(const std::string& text) = 0;
  virtual std::string hint() const = 0;

  virtual void setVisible(bool visible) = 0;
  // Shown itself and inside a shown window.
  virtual bool isVisible() const = 0;
  virtual void setFocus() = 0;
  virtual bool hasFocus() const = 0;
  // Whether Tab stops at the control.
  virtual void setTabStop(bool stop) = 0;
  virtual bool tabStop() const = 0;
  // Puts the control above its siblings, covering what it overlaps.
  virtual void bringToFront() = 0;
  // Asks for a repaint of the whole control.
  virtual void invalidate() = 0;

  // What the control shows now, its whole outer area, in device pixels.
  virtual Image grab() const = 0;
};

// A text label that paints no background (the window's shows through),
// and the framed status line: sunken edge, centred text, its own background.
std::unique_ptr<ControlPeer> CreateLabelPeer(FormPeer& parent);
std::unique_ptr<ControlPeer> CreateStaticTextPeer(FormPeer& parent);

}  // namespace kit

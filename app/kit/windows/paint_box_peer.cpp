// The paint box: a window class of our own ("TPaintBox"), without edge or
// tab stop, painted through the GDI paint device into a memory bitmap
// first (no flicker).
#include <optional>

#include "app/kit/paint_box_peer.h"
#include "app/kit/windows/control_peer.h"
#include "app/kit/windows/form_peer.h"
#include "app/kit/windows/paint_device.h"
#include "app/kit/windows/window_image.h"

namespace kit::win {
namespace {

constexpr wchar_t kClassName[] = L"TPaintBox";

class PaintBoxWindow final : public ChildPeer<ControlPeer> {
 public:
  PaintBoxWindow(FormWindow& form, PaintBoxEvents& events)
      : ChildPeer(form, RegisteredClass(), 0), events_(events) {
    setReady();
  }

  void dpiChanged() override {
    NativeChild::dpiChanged();
    invalidate();
  }

 private:
  static const wchar_t* RegisteredClass() {
    static const wchar_t* const name = RegisterOwnClass(kClassName, 0);
    return name;
  }

  // Paints the part `dirty` (device pixels) of the client area into `dc`.
  void paintInto(HDC dc, const RECT& dirty) const {
    GdiPaintDevice device(dc, dpi());
    events_.paint(device, LayoutCover(dirty, dpi()));
  }

  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (!ready()) return NativeChild::handle(message, wParam, lParam);
    if (const std::optional<LRESULT> answer = AnswerOwnPainting(
            hwnd(), message, wParam, [this](HDC dc, const RECT& dirty) { paintInto(dc, dirty); }))
      return *answer;
    return NativeChild::handle(message, wParam, lParam);
  }

  PaintBoxEvents& events_;
};

}  // namespace
}  // namespace kit::win

std::unique_ptr<kit::ControlPeer> kit::CreatePaintBoxPeer(FormPeer& parent, PaintBoxEvents& events) {
  return std::make_unique<win::PaintBoxWindow>(static_cast<win::FormWindow&>(parent), events);
}

// A paint device for tests of drawings: it records what is drawn, with
// the place each text took, and hands the drawing on to another device
// (the kit's page measuring device), which measures the texts as the
// backend does.
#pragma once

#include <string>
#include <vector>

#include "app/kit/paint_device.h"

class RecordingDevice final : public kit::PaintDevice {
 public:
  struct Text {
    std::string text;
    TRect box;  // where its line box lies
    TColor color;
  };
  struct Line {
    TPoint from, to;
    TColor color;
    int width;
  };

  explicit RecordingDevice(kit::PaintDevice& measure) : measure_(measure) {}

  void fillRect(const TRect& rect, TColor color) override {
    fills.push_back(rect);
    measure_.fillRect(rect, color);
  }
  void drawText(int x, int y, const std::string& text, const TFont& font, const TRect* clip) override {
    const TSize size = measure_.textExtent(text, font);
    texts.push_back({text, Bounds(x, y, size.Width, size.Height), font.color()});
    measure_.drawText(x, y, text, font, clip);
  }
  void drawFocusRect(const TRect& rect) override { measure_.drawFocusRect(rect); }
  void drawLine(TPoint from, TPoint to, TColor color, int width, TPenStyle style) override {
    lines.push_back({from, to, color, width});
    measure_.drawLine(from, to, color, width, style);
  }
  void fillEllipse(const TRect& rect, TColor color) override {
    fills.push_back(rect);
    measure_.fillEllipse(rect, color);
  }
  TSize textExtent(const std::string& text, const TFont& font) override { return measure_.textExtent(text, font); }

  // The first text drawn that reads `text` exactly, or nullptr.
  const Text* find(const std::string& text) const {
    for (const Text& t : texts)
      if (t.text == text) return &t;
    return nullptr;
  }

  std::vector<Text> texts;
  std::vector<Line> lines;
  std::vector<TRect> fills;  // rectangles and ellipses

 private:
  kit::PaintDevice& measure_;
};

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

  void FillRect(const TRect& rect, TColor color) override {
    fills.push_back(rect);
    measure_.FillRect(rect, color);
  }
  void DrawTextIn(int x, int y, const std::string& text, const TFont& font, const TRect* clip) override {
    const TSize size = measure_.TextExtent(text, font);
    texts.push_back({text, Bounds(x, y, size.Width, size.Height), font.Color()});
    measure_.DrawTextIn(x, y, text, font, clip);
  }
  void DrawFocusRect(const TRect& rect) override { measure_.DrawFocusRect(rect); }
  void DrawLine(TPoint from, TPoint to, TColor color, int width, TPenStyle style) override {
    lines.push_back({from, to, color, width});
    measure_.DrawLine(from, to, color, width, style);
  }
  void FillEllipse(const TRect& rect, TColor color) override {
    fills.push_back(rect);
    measure_.FillEllipse(rect, color);
  }
  TSize TextExtent(const std::string& text, const TFont& font) override { return measure_.TextExtent(text, font); }

  // The first text drawn that reads `text` exactly, or nullptr.
  const Text* Find(const std::string& text) const {
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

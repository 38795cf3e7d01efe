// Labels follow their text; the status line does not.
#include "app/kit/colors.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/window_fixture.h"
#include "tests/support/pixels.h"

namespace {

TSize ExtentOf(const TLabel& label) { return nativeui::TextExtent(label.font(), label.text()); }

}  // namespace

TEST_F(StartedWindow, StateLabelsResizeToEveryNewText) {
  TLabel& label = *form->Label2;
  const TPoint corner = label.pos();
  const int startWidth = label.width();

  label.setText("Секундомер подключен");
  EXPECT_EQ(label.pos(), corner);
  EXPECT_EQ(label.size(), ExtentOf(label));
  EXPECT_LT(label.width(), startWidth);

  TLabel& excel = *form->Label1;
  excel.setText("Label1");
  const int label1Width = excel.width();
  excel.setText("MS EXCEL не установлен");
  EXPECT_EQ(excel.size(), ExtentOf(excel));
  EXPECT_GT(excel.width(), label1Width);
  excel.setText("");
  EXPECT_LT(excel.width(), label1Width);
  EXPECT_EQ(excel.pos(), (TPoint{80, 400}));
}

TEST_F(StartedWindow, LabelResizesWhenItsFontChanges) {
  TLabel& label = *form->Label4;
  const TSize before = label.size();
  label.setFontHeight(22);
  EXPECT_EQ(label.size(), ExtentOf(label));
  EXPECT_GT(label.width(), before.Width);
  EXPECT_GT(label.height(), before.Height);
}

// 0x00BBGGRR: blue in the high byte. The label's text shows in exactly that
// colour, not in its byte-swapped twin.
TEST_F(StartedWindow, FontColoursAreGivenBlueHighGreenMiddleRedLow) {
  TLabel& label = *form->Label2;
  const auto inks = [&](TColor colour) {
    const kit::Image shown = label.grab();
    return CountPixels(shown, shown.rect(), [&](TColor c) { return c == colour; });
  };
  label.setFontColor(clGreen);
  EXPECT_GT(inks(RGBColor(0, 128, 0)), 10);
  label.setFontColor(clBlue);
  EXPECT_GT(inks(RGBColor(0, 0, 255)), 10);
  EXPECT_EQ(inks(RGBColor(255, 0, 0)), 0);
}

TEST_F(StartedWindow, StatusLineIsSunkenKeepsItsSizeAndCentresItsText) {
  TStaticText& status = *form->StaticText1;
  status.setText("Данные считаны 01.02.2024 в 12:34:56, и ещё очень много текста сверх того");
  EXPECT_EQ(status.boundsRect(), Bounds(389, 306, 368, 27));
  status.setText("Данные считаны 01.02.2024 в 12:34:56");
  EXPECT_EQ(status.boundsRect(), Bounds(389, 306, 368, 27));
  const kit::Image shown = status.grab();
  ASSERT_EQ(shown.rect(), Bounds(0, 0, 368, 27));
  EXPECT_TRUE(LooksSunken(shown));
  // The ink sits in the middle, inside the edge.
  const TRect inside = shown.rect().Inflate(-2, -2);
  const TRect ink = InkBounds(shown, inside, ColorToRGB(clBtnFace));
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GT(ink.Left - inside.Left, 20);
  EXPECT_LE(std::abs((ink.Left - inside.Left) - (inside.Right - ink.Right)), 2);
  EXPECT_LE(std::abs((ink.Top - inside.Top) - (inside.Bottom - ink.Bottom)), 3);
}

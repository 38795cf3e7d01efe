// Labels follow their text; the status line does not.
#include "app/kit/colors.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/window_fixture.h"
#include "tests/support/pixels.h"

namespace {

TSize ExtentOf(const TLabel& label) { return nativeui::TextExtent(label.Font(), label.Text()); }

}  // namespace

TEST_F(StartedWindow, StateLabelsResizeToEveryNewText) {
  TLabel& label = *form->Label2;
  const TPoint corner = label.Pos();
  const int startWidth = label.Width();

  label.SetText("Секундомер подключен");
  EXPECT_EQ(label.Pos(), corner);
  EXPECT_EQ(label.Size(), ExtentOf(label));
  EXPECT_LT(label.Width(), startWidth);

  TLabel& excel = *form->Label1;
  excel.SetText("Label1");
  const int label1Width = excel.Width();
  excel.SetText("MS EXCEL не установлен");
  EXPECT_EQ(excel.Size(), ExtentOf(excel));
  EXPECT_GT(excel.Width(), label1Width);
  excel.SetText("");
  EXPECT_LT(excel.Width(), label1Width);
  EXPECT_EQ(excel.Pos(), (TPoint{80, 400}));
}

TEST_F(StartedWindow, LabelResizesWhenItsFontChanges) {
  TLabel& label = *form->Label4;
  const TSize before = label.Size();
  label.SetFontHeight(22);
  EXPECT_EQ(label.Size(), ExtentOf(label));
  EXPECT_GT(label.Width(), before.Width);
  EXPECT_GT(label.Height(), before.Height);
}

// 0x00BBGGRR: blue in the high byte. The label's text shows in exactly that
// colour, not in its byte-swapped twin.
TEST_F(StartedWindow, FontColoursAreGivenBlueHighGreenMiddleRedLow) {
  TLabel& label = *form->Label2;
  const auto inks = [&](TColor colour) {
    const kit::Image shown = label.Grab();
    return CountPixels(shown, shown.Rect(), [&](TColor c) { return c == colour; });
  };
  label.SetFontColor(clGreen);
  EXPECT_GT(inks(RGBColor(0, 128, 0)), 10);
  label.SetFontColor(clBlue);
  EXPECT_GT(inks(RGBColor(0, 0, 255)), 10);
  EXPECT_EQ(inks(RGBColor(255, 0, 0)), 0);
}

TEST_F(StartedWindow, StatusLineIsSunkenKeepsItsSizeAndCentresItsText) {
  TStaticText& status = *form->StaticText1;
  status.SetText("Данные считаны 01.02.2024 в 12:34:56, и ещё очень много текста сверх того");
  EXPECT_EQ(status.BoundsRect(), Bounds(389, 306, 368, 27));
  status.SetText("Данные считаны 01.02.2024 в 12:34:56");
  EXPECT_EQ(status.BoundsRect(), Bounds(389, 306, 368, 27));
  const kit::Image shown = status.Grab();
  ASSERT_EQ(shown.Rect(), Bounds(0, 0, 368, 27));
  EXPECT_TRUE(LooksSunken(shown));
  // The ink sits in the middle, inside the edge.
  const TRect inside = shown.Rect().Inflate(-2, -2);
  const TRect ink = InkBounds(shown, inside, ColorToRGB(clBtnFace));
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GT(ink.Left - inside.Left, 20);
  EXPECT_LE(std::abs((ink.Left - inside.Left) - (inside.Right - ink.Right)), 2);
  EXPECT_LE(std::abs((ink.Top - inside.Top) - (inside.Bottom - ink.Bottom)), 3);
}

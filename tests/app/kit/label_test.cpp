// Labels follow their text; the status line does not.
#include "app/kit/colors.h"
#include "tests/app/window_fixture.h"

TEST_F(StartedWindow, StateLabelsResizeToEveryNewText) {
  TLabel& label = *form->Label2;
  const QPoint corner = label.pos();
  const int startWidth = label.width();

  label.setText("Секундомер подключен");
  EXPECT_EQ(label.pos(), corner);
  EXPECT_EQ(label.size(), label.sizeHint());
  EXPECT_LT(label.width(), startWidth);

  TLabel& excel = *form->Label1;
  excel.setText("Label1");
  const int label1Width = excel.width();
  excel.setText("MS EXCEL не установлен");
  EXPECT_EQ(excel.size(), excel.sizeHint());
  EXPECT_GT(excel.width(), label1Width);
  excel.setText("");
  EXPECT_EQ(excel.size(), excel.sizeHint());
  EXPECT_EQ(excel.pos(), QPoint(80, 400));
}

TEST_F(StartedWindow, LabelResizesWhenItsFontChanges) {
  TLabel& label = *form->Label4;
  const QSize before = label.size();
  label.setFontHeight(22);
  EXPECT_EQ(label.size(), label.sizeHint());
  EXPECT_GT(label.width(), before.width());
  EXPECT_GT(label.height(), before.height());
}

TEST_F(StartedWindow, FontColoursAreGivenBlueHighGreenMiddleRedLow) {
  TLabel& label = *form->Label2;
  label.setFontColor(clGreen);
  EXPECT_EQ(label.fontColor(), QColor(0, 128, 0));
  label.setFontColor(clBlue);
  EXPECT_EQ(label.fontColor(), QColor(0, 0, 255));
  // Maroon is the one that catches a swapped byte order.
  EXPECT_EQ(ToQColor(clMaroon), QColor(128, 0, 0));
  EXPECT_EQ(ToQColor(clYellow), QColor(255, 255, 0));
  EXPECT_EQ(FromQColor(QColor(128, 0, 0)), clMaroon);
}

TEST_F(StartedWindow, StatusLineKeepsItsSizeWhateverItsText) {
  TStaticText& status = *form->StaticText1;
  status.setText("Данные считаны 01.02.2024 в 12:34:56 и ещё очень много текста сверху");
  EXPECT_EQ(status.geometry(), QRect(389, 306, 368, 27));
  EXPECT_EQ(status.alignment(), Qt::AlignCenter);
  EXPECT_EQ(status.frameShadow(), QFrame::Sunken);
  EXPECT_NE(status.frameShape(), QFrame::NoFrame);
}

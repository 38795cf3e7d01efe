// Buttons from the keyboard, as the desktop's buttons answer it.
#include "tests/app/support/native_ui.h"
#include "tests/app/window_fixture.h"

// Enter and Space click the button that has the focus; no button is a
// default button, so Enter in the grid clicks none.
TEST_F(StartedWindow, EnterAndSpaceClickTheFocusedButtonOnly) {
  int saves = 0;
  int reads = 0;
  form->Button2->OnClick = [&](TObject*) { ++saves; };
  form->Button3->OnClick = [&](TObject*) { ++reads; };
  for (TButton* button : {form->Button2, form->Button3}) EXPECT_FALSE(button->IsDefault()) << button->Name();

  nativeui::PressKey(grid, kit::key::Return);
  EXPECT_EQ(saves + reads, 0);
  nativeui::PressKey(*form->Button2, kit::key::Return);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(reads, 0);
  nativeui::PressKey(*form->Button3, kit::key::Space);
  EXPECT_EQ(reads, 1);
  nativeui::PressKey(*form->Button3, kit::key::Return);
  EXPECT_EQ(reads, 2);
  EXPECT_EQ(saves, 1);
}

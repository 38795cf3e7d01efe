// The main window as the program starts it, shown on the test's screen.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/button.h"
#include "app/form1.h"
#include "app/label.h"
#include "app/save_dialog.h"
#include "app/startup.h"
#include "app/static_text.h"
#include "app/string_grid.h"

class StartedWindow : public ::testing::Test {
 protected:
  void SetUp() override { form->show(); }

  std::unique_ptr<TForm1> form = app::CreateMainWindow();
  TStringGrid& grid = *form->StringGrid1;
};

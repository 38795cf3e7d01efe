// The dialog seam, the system's boxes and save dialog as the user sees and
// answers them, and what happens to handler errors.
#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "app/kit/dialogs.h"
#include "app/kit/form.h"
#include "app/kit/handler_guard.h"
#include "tests/app/fake_dialogs.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/window_fixture.h"
#include "tests/support/test_folder.h"

namespace {

using nativeui::Answer;
using nativeui::BoxIcon;
using nativeui::SeenBox;
using spreadsheet::testing::PathOf;

}  // namespace

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersThatSortAfterIt) {
  struct Case {
    std::string message;
    std::string shown;
  };
  const Case cases[] = {
      {"", ""},
      {"Invalid variant operation", "Invalid variant operation."},
      {"Already ends.", "Already ends."},
      {"'12,5' is not a valid floating point value", "'12,5' is not a valid floating point value."},
      {"OLE error 800a03ec", "OLE error 800a03ec."},
      {"ends in a digit 5", "ends in a digit 5."},
      {"ends in a slash /", "ends in a slash /."},   // '/' is 0x2F
      {"ends in a hyphen -", "ends in a hyphen -"},  // '-' is 0x2D
      {"ends in a bracket (x)", "ends in a bracket (x)"},
      {"ends in a bang!", "ends in a bang!"},
      {"trailing space ", "trailing space "},
      {"Файл не сохранён", "Файл не сохранён."},
      {"100%", "100%"},
      {"smile \xF0\x9F\x99\x82", "smile \xF0\x9F\x99\x82."},
  };
  for (const Case& c : cases) EXPECT_EQ(kit::ErrorBoxText(c.message), c.shown) << c.message;
}

TEST(ErrorBox, IsCaptionedWithTheApplicationTitle) {
  FakeDialogs dialogs;
  kit::ScopedDialogs installed(dialogs);
  kit::ShowErrorBox("Method 'Foo' not supported by automation object");
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0].caption, "Lumetro");
  EXPECT_EQ(dialogs.errors[0].text, "Method 'Foo' not supported by automation object.");
}

TEST(ErrorBox, TheSystemsBoxHasTheStopIconAndOneOkButton) {
  const std::vector<SeenBox> seen =
      nativeui::AnswerBoxes([] { kit::NativeDialogs().ShowError("Lumetro", "Boom."); }, {{kit::key::Return}});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "Lumetro");
  EXPECT_EQ(seen[0].text, "Boom.");
  EXPECT_EQ(seen[0].icon, BoxIcon::Stop);
  ASSERT_EQ(seen[0].buttons.size(), 1u);
  EXPECT_EQ(seen[0].defaultButton, seen[0].buttons[0]);
}

// The system's box: "&Yes", the default, answers 6 (Enter); "&No" answers
// 7, and so does Escape.
TEST(ConfirmBox, TheSystemsBoxDefaultsToYesAndEscapeAnswersNo) {
  const std::string text = "Файл с именем:\n\"x.xls\"\nУже существует. Перезаписать?";
  int enter = 0;
  int escape = 0;
  const std::vector<SeenBox> seen = nativeui::AnswerBoxes(
      [&] {
        enter = kit::NativeDialogs().Confirm("Confirm", text);
        escape = kit::NativeDialogs().Confirm("Confirm", text);
      },
      {{kit::key::Return}, {kit::key::Escape}});
  EXPECT_EQ(enter, kit::kIdYes);
  EXPECT_EQ(escape, kit::kIdNo);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].caption, "Confirm");
  EXPECT_EQ(seen[0].text, text);
  EXPECT_EQ(seen[0].icon, BoxIcon::Question);
  EXPECT_EQ(seen[0].buttons, (std::vector<std::string>{"&Yes", "&No"}));
  EXPECT_EQ(seen[0].defaultButton, "&Yes");

  // The seam hands the answer on as it is.
  FakeDialogs dialogs;
  kit::ScopedDialogs installed(dialogs);
  dialogs.confirmAnswer = kit::kIdYes;
  EXPECT_EQ(kit::ConfirmBox("Перезаписать?"), 6);
  ASSERT_EQ(dialogs.confirms.size(), 1u);
  EXPECT_EQ(dialogs.confirms[0].caption, "Confirm");
}

TEST_F(StartedWindow, SaveDialogOffersTheLastChosenPathAgain) {
  FakeDialogs dialogs;
  kit::ScopedDialogs installed(dialogs);
  TSaveDialog& save = *form->SaveDialog1;

  dialogs.saveAnswer = "/tmp/first.xls";
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), "/tmp/first.xls");

  dialogs.saveAnswer.reset();  // cancelled
  EXPECT_FALSE(save.Execute());
  EXPECT_EQ(save.FileName(), "/tmp/first.xls");

  ASSERT_EQ(dialogs.saveRequests.size(), 2u);
  const kit::SaveFileRequest& second = dialogs.saveRequests[1];
  EXPECT_EQ(second.fileName, "/tmp/first.xls");
  EXPECT_EQ(second.defaultExt, "xls");
  EXPECT_EQ(second.filter, "Таблица (*.xls)|*.xls");
  EXPECT_FALSE(second.overwritePrompt);
}

// The system's save dialog offers the name it is given and the program's
// file type, adds the default extension to a typed name, asks nothing of
// its own about a file that exists, and speaks the desktop's language.
TEST(SaveDialog, TheSystemsDialogSavesAsTheProgramAsks) {
  spreadsheet::testing::TestFolder folder{"lumetra-app"};
  const std::string existing = folder / "old.xls";
  std::ofstream(PathOf(existing)) << "keep me";
  kit::SaveFileRequest offered{"xls", "Таблица (*.xls)|*.xls", folder / "kept.xls", false};
  kit::SaveFileRequest typed = offered;
  kit::SaveFileRequest replacing = offered;
  kit::SaveFileRequest cancelled = offered;
  bool chosen[4] = {};
  const std::vector<SeenBox> seen = nativeui::AnswerBoxes(
      [&] {
        chosen[0] = kit::NativeDialogs().SaveFile(offered);
        chosen[1] = kit::NativeDialogs().SaveFile(typed);
        chosen[2] = kit::NativeDialogs().SaveFile(replacing);
        chosen[3] = kit::NativeDialogs().SaveFile(cancelled);
      },
      {{kit::key::Return}, {kit::key::Return, "report"}, {kit::key::Return, "old"}, {kit::key::Escape}});
  ASSERT_EQ(seen.size(), 4u) << "a box of the dialog's own came up";
  EXPECT_TRUE(seen[0].saveDialog);
  EXPECT_EQ(seen[0].fileName, "kept.xls");
  EXPECT_EQ(seen[0].fileTypes, std::vector<std::string>{"Таблица (*.xls)"});
  const std::string cancel = nativeui::DesktopSpeaksRussian() ? "Отмена" : "Cancel";
  std::vector<std::string> buttons;
  for (const std::string& button : seen[0].buttons) buttons.push_back(nativeui::Unmarked(button));
  EXPECT_NE(std::find(buttons.begin(), buttons.end(), cancel), buttons.end()) << testing::PrintToString(buttons);

  EXPECT_TRUE(chosen[0]);
  EXPECT_EQ(offered.fileName, folder / "kept.xls");
  EXPECT_TRUE(chosen[1]);
  EXPECT_EQ(typed.fileName, folder / "report.xls");
  EXPECT_TRUE(chosen[2]);
  EXPECT_EQ(replacing.fileName, existing);
  EXPECT_FALSE(chosen[3]);
  EXPECT_EQ(cancelled.fileName, folder / "kept.xls");
}

TEST(HandlerErrors, GoToTheErrorBoxAndStopThere) {
  FakeDialogs dialogs;
  kit::ScopedDialogs installed(dialogs);
  bool after = false;
  EXPECT_FALSE(kit::RunHandler([&] {
    throw std::runtime_error("'abc' is not a valid floating point value");
    after = true;
  }));
  EXPECT_FALSE(after);
  EXPECT_TRUE(kit::RunHandler([] {}));
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0].text, "'abc' is not a valid floating point value.");
}

TEST_F(StartedWindow, AButtonWhoseHandlerFailsKeepsWorking) {
  FakeDialogs dialogs;
  kit::ScopedDialogs installed(dialogs);
  int clicks = 0;
  form->Button3->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, form->Button3);
    ++clicks;
    throw std::runtime_error("Invalid variant operation");
  };
  const TPoint centre = Bounds(0, 0, form->Button3->Width(), form->Button3->Height()).Center();
  nativeui::Click(*form->Button3, centre);
  nativeui::Click(*form->Button3, centre);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(dialogs.errors.size(), 2u);
}

namespace {

class FailingForm : public TForm {
 public:
  explicit FailingForm(bool failClose) {
    OnCreate = [](TObject*) { throw std::runtime_error("Class not registered"); };
    if (failClose) OnCloseQuery = [](TObject*, bool&) { throw std::runtime_error("Server gone"); };
    DoCreate();
    created = true;
  }
  bool created = false;
};

}  // namespace

TEST(FormEvents, ACreateErrorIsShownAndTheWindowStillOpens) {
  FakeDialogs dialogs;
  kit::ScopedDialogs installed(dialogs);
  FailingForm form(false);
  EXPECT_TRUE(form.created);
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0].text, "Class not registered.");
  form.Show();
  EXPECT_TRUE(form.Close());
}

TEST(FormEvents, CloseQueryDecidesWhetherTheWindowCloses) {
  FakeDialogs dialogs;
  kit::ScopedDialogs installed(dialogs);
  TForm refusing;
  refusing.OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
  refusing.Show();
  EXPECT_FALSE(refusing.Close());
  EXPECT_TRUE(refusing.IsVisible());

  FailingForm failing(true);
  failing.Show();
  EXPECT_FALSE(failing.Close());
  EXPECT_EQ(dialogs.errors.size(), 2u);  // the create error and the close error
}

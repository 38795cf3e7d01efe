// The dialog seam, the standard error box and what happens to handler errors.
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <stdexcept>

#include "app/kit/dialogs.h"
#include "app/kit/form.h"
#include "app/kit/handler_guard.h"
#include "app/kit/qt_dialogs.h"
#include "app/qt_translations.h"
#include "tests/app/fake_dialogs.h"
#include "tests/app/window_fixture.h"

namespace {

// What the user sees of a Qt message box before any button is pressed.
void ExpectQtBox(const QMessageBox& box, QMessageBox::Icon icon, const QString& caption, const QString& text,
                 QMessageBox::StandardButtons buttons) {
  EXPECT_EQ(box.icon(), icon);
  EXPECT_EQ(box.windowTitle(), caption);
  EXPECT_EQ(box.text(), text);
  EXPECT_EQ(box.standardButtons(), buttons);
}

}  // namespace

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersThatSortAfterIt) {
  struct Case {
    QString message;
    QString shown;
  };
  const Case cases[] = {
      {"", ""},
      {"Invalid variant operation", "Invalid variant operation."},
      {"Already ends.", "Already ends."},
      {"'12,5' is not a valid floating point value", "'12,5' is not a valid floating point value."},
      {"OLE error 800a03ec", "OLE error 800a03ec."},
      {"ends in a digit 5", "ends in a digit 5."},
      {"ends in a slash /", "ends in a slash /."},      // '/' is 0x2F
      {"ends in a hyphen -", "ends in a hyphen -"},     // '-' is 0x2D
      {"ends in a bracket (x)", "ends in a bracket (x)"},
      {"ends in a bang!", "ends in a bang!"},
      {"trailing space ", "trailing space "},
      {"Файл не сохранён", "Файл не сохранён."},
      {"100%", "100%"},
      {QString::fromUtf8("smile \xF0\x9F\x99\x82"), QString::fromUtf8("smile \xF0\x9F\x99\x82.")},
  };
  for (const Case& c : cases) EXPECT_EQ(app::ErrorBoxText(c.message), c.shown) << c.message.toStdString();
}

TEST(ErrorBox, IsCaptionedWithTheApplicationTitle) {
  RecordingDialogs dialogs;
  app::ScopedDialogs installed(dialogs);
  app::ShowErrorBox("Method 'Foo' not supported by automation object");
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0].caption, "Lumetro");
  EXPECT_EQ(dialogs.errors[0].text, "Method 'Foo' not supported by automation object.");
}

TEST(ErrorBox, QtBoxHasTheStopIconAndOneOkButton) {
  ExpectQtBox(*app::MakeErrorBox("Lumetro", "Boom."), QMessageBox::Critical, "Lumetro", "Boom.", QMessageBox::Ok);
}

TEST(ConfirmBox, AnswersSixForYesAndSevenForNo) {
  RecordingDialogs dialogs;
  app::ScopedDialogs installed(dialogs);
  dialogs.confirmAnswer = app::kIdYes;
  EXPECT_EQ(app::ConfirmBox("Перезаписать?"), 6);
  dialogs.confirmAnswer = app::kIdNo;
  EXPECT_EQ(app::ConfirmBox("Перезаписать?"), 7);
  ASSERT_EQ(dialogs.confirms.size(), 2u);
  EXPECT_EQ(dialogs.confirms[0].caption, "Confirm");
  EXPECT_EQ(dialogs.confirms[0].text, "Перезаписать?");
}

TEST(ConfirmBox, QtBoxDefaultsToYesAndEscapeAnswersNo) {
  const QString text = "Файл с именем:\n\"x.xls\"\nУже существует. Перезаписать?";
  auto box = app::MakeConfirmBox("Confirm", text);
  ExpectQtBox(*box, QMessageBox::Question, "Confirm", text, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box->button(QMessageBox::Yes)->text(), "&Yes");
  EXPECT_EQ(box->button(QMessageBox::No)->text(), "&No");
  EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
  EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::No));
}

TEST_F(StartedWindow, SaveDialogOffersTheLastChosenPathAgain) {
  RecordingDialogs dialogs;
  app::ScopedDialogs installed(dialogs);
  TSaveDialog& save = *form->SaveDialog1;

  dialogs.saveAnswer = "/tmp/first.xls";
  ASSERT_TRUE(save.execute());
  EXPECT_EQ(save.fileName(), "/tmp/first.xls");

  dialogs.saveAnswer.reset();  // cancelled
  EXPECT_FALSE(save.execute());
  EXPECT_EQ(save.fileName(), "/tmp/first.xls");

  ASSERT_EQ(dialogs.saveRequests.size(), 2u);
  const app::SaveFileRequest& second = dialogs.saveRequests[1];
  EXPECT_EQ(second.fileName, "/tmp/first.xls");
  EXPECT_EQ(second.defaultExt, "xls");
  EXPECT_EQ(second.filter, "Таблица (*.xls)|*.xls");
  EXPECT_FALSE(second.overwritePrompt);
}

TEST(SaveDialog, FilterPairsBecomeQtNameFilters) {
  EXPECT_EQ(app::QtNameFilters("Таблица (*.xls)|*.xls"), QStringList{"Таблица (*.xls)"});
  EXPECT_EQ(app::QtNameFilters("Text|*.txt;*.log|All files|*"), (QStringList{"Text (*.txt *.log)", "All files (*)"}));
  EXPECT_EQ(app::QtNameFilters("Unpaired"), QStringList{});
}

TEST(SaveDialog, QtDialogSavesWithoutItsOwnOverwritePrompt) {
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  app::ConfigureSaveDialog(dialog, {"xls", "Таблица (*.xls)|*.xls", "/tmp/kept.xls", false});
  EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_EQ(dialog.defaultSuffix(), "xls");
  EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(dialog.nameFilters(), QStringList{"Таблица (*.xls)"});
  EXPECT_EQ(dialog.selectedFiles().value(0), "/tmp/kept.xls");
}

TEST(SaveDialog, QtDialogSpeaksRussianOnARussianDesktop) {
  QTranslator* russian = app::InstallQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::Russian));
  ASSERT_NE(russian, nullptr);
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  app::ConfigureSaveDialog(dialog, {"xls", "Таблица (*.xls)|*.xls", "", false});
  const auto* fileName = dialog.findChild<QLabel*>("fileNameLabel");
  const auto* lookIn = dialog.findChild<QLabel*>("lookInLabel");
  const auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
  ASSERT_TRUE(fileName && lookIn && buttons);
  EXPECT_EQ(fileName->text(), "&Имя файла:");
  EXPECT_EQ(lookIn->text(), "Перейти к:");
  EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), "Отмена");
  // The filter is the program's own text, untouched.
  EXPECT_EQ(dialog.nameFilters(), QStringList{"Таблица (*.xls)"});
  QCoreApplication::removeTranslator(russian);
}

TEST(HandlerErrors, GoToTheErrorBoxAndStopThere) {
  RecordingDialogs dialogs;
  app::ScopedDialogs installed(dialogs);
  bool after = false;
  EXPECT_FALSE(app::RunHandler([&] {
    throw std::runtime_error("'abc' is not a valid floating point value");
    after = true;
  }));
  EXPECT_FALSE(after);
  EXPECT_TRUE(app::RunHandler([] {}));
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0].text, "'abc' is not a valid floating point value.");
}

TEST_F(StartedWindow, AButtonWhoseHandlerFailsKeepsWorking) {
  RecordingDialogs dialogs;
  app::ScopedDialogs installed(dialogs);
  int clicks = 0;
  form->Button3->OnClick = [&](QObject* sender) {
    EXPECT_EQ(sender, form->Button3);
    ++clicks;
    throw std::runtime_error("Invalid variant operation");
  };
  form->Button3->click();
  form->Button3->click();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(dialogs.errors.size(), 2u);
}

namespace {

class FailingForm : public TForm {
 public:
  explicit FailingForm(bool failClose) {
    OnCreate = [](QObject*) { throw std::runtime_error("Class not registered"); };
    if (failClose) OnCloseQuery = [](QObject*, bool&) { throw std::runtime_error("Server gone"); };
    DoCreate();
    created = true;
  }
  bool created = false;
};

}  // namespace

TEST(FormEvents, ACreateErrorIsShownAndTheWindowStillOpens) {
  RecordingDialogs dialogs;
  app::ScopedDialogs installed(dialogs);
  FailingForm form(false);
  EXPECT_TRUE(form.created);
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0].text, "Class not registered.");
  form.show();
  EXPECT_TRUE(form.close());
}

TEST(FormEvents, CloseQueryDecidesWhetherTheWindowCloses) {
  RecordingDialogs dialogs;
  app::ScopedDialogs installed(dialogs);
  TForm refusing;
  refusing.OnCloseQuery = [](QObject*, bool& canClose) { canClose = false; };
  refusing.show();
  EXPECT_FALSE(refusing.close());
  EXPECT_TRUE(refusing.isVisible());

  FailingForm failing(true);
  failing.show();
  EXPECT_FALSE(failing.close());
  EXPECT_EQ(dialogs.errors.size(), 2u);  // the create error and the close error
}

// The system's boxes and save dialog as the program shows them, looked at
// while they are up and answered by a key.
#include <gtest/gtest.h>

#include "app/kit/application.h"
#include "app/kit/dialogs.h"
#include "app/kit/windows/native.h"
#include "tests/app/kit/windows/modal_box.h"

namespace {

using wintest::SeenButton;
using wintest::WhileBoxIsUp;

std::vector<std::pair<int, std::string>> Buttons(const wintest::SeenBox& box) {
  std::vector<std::pair<int, std::string>> buttons;
  for (const SeenButton& button : box.buttons) buttons.emplace_back(button.id, button.text);
  return buttons;
}

TEST(NativeDialogs, ConfirmBoxAsksYesOrNoInEnglishAndEscAnswersNo) {
  const std::string question = "Файл с именем:\n\"C:\\a.xls\"\nУже существует. Перезаписать?";
  int answer = 0;
  const wintest::SeenBox box =
      WhileBoxIsUp([&] { answer = kit::ConfirmBox(question); }, VK_ESCAPE);
  ASSERT_TRUE(box.found);
  EXPECT_EQ(box.caption, "Confirm");
  EXPECT_NE(std::find(box.texts.begin(), box.texts.end(), question), box.texts.end());
  const std::vector<std::pair<int, std::string>> expected = {{IDYES, "&Yes"}, {IDNO, "&No"}};
  EXPECT_EQ(Buttons(box), expected);
  EXPECT_EQ(box.defaultId, IDYES);
  EXPECT_EQ(box.icon, ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_QUESTION)));
  EXPECT_EQ(answer, kit::kIdNo);

  // Enter takes the default.
  WhileBoxIsUp([&] { answer = kit::ConfirmBox(question); }, VK_RETURN);
  EXPECT_EQ(answer, kit::kIdYes);
}

TEST(NativeDialogs, ErrorBoxHasTheStopIconOneOkAndTheApplicationTitle) {
  const wintest::SeenBox box = WhileBoxIsUp([] { kit::ShowErrorBox("Нет доступа к файлу"); }, VK_RETURN);
  ASSERT_TRUE(box.found);
  EXPECT_EQ(box.caption, "Lumetro");
  EXPECT_NE(std::find(box.texts.begin(), box.texts.end(), "Нет доступа к файлу."), box.texts.end());
  ASSERT_EQ(box.buttons.size(), 1u);
  EXPECT_EQ(box.buttons[0].id, IDOK);
  EXPECT_EQ(box.icon, ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_HAND)));
}

TEST(NativeDialogs, SaveDialogOffersTheTableTypeAndGivesANativePathWithItsExtension) {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  const std::string typed = kit::win::Narrow(folder) + "измерения";
  kit::SaveFileRequest request{"xls", "Таблица (*.xls)|*.xls", "", false};
  bool saved = false;
  const wintest::SeenBox box = WhileBoxIsUp([&] { saved = kit::NativeDialogs().saveFile(request); }, VK_RETURN,
                                            [&](HWND dialog) {
                                              // The file name field: a combo box's edit, or a plain edit.
                                              HWND name = ::GetDlgItem(dialog, 0x47C);  // cmb13
                                              if (name == nullptr) name = ::GetDlgItem(dialog, 0x480);  // edt1
                                              ASSERT_NE(name, nullptr);
                                              ::SetWindowTextW(name, kit::win::Wide(typed).c_str());
                                            });
  ASSERT_TRUE(box.found);
  EXPECT_EQ(box.filter, "Таблица (*.xls)");
  ASSERT_TRUE(saved);
  EXPECT_EQ(request.fileName, typed + ".xls");
  EXPECT_EQ(request.fileName.find('/'), std::string::npos) << request.fileName;

  // Cancelled: nothing changes.
  kit::SaveFileRequest again = request;
  WhileBoxIsUp([&] { saved = kit::NativeDialogs().saveFile(again); }, VK_ESCAPE);
  EXPECT_FALSE(saved);
  EXPECT_EQ(again.fileName, request.fileName);
}

}  // namespace

// The window on the real Linux path (udev, hidraw, the device-change
// monitor) with a virtual VORDA-2 whose node the user may not open, as on a
// machine without the stopwatch's udev rule: the state line says so in blue
// and the status line and tooltips give the fix; once the stopwatch comes
// back with a node the user may open (the rule installed, the stopwatch
// replugged) the window takes it and reads it.
//
// The test runs as root (to own the testbed and to play udev) and opens
// devices as an unprivileged user, by switching its effective user.
#include "tools/vorda2-emulator/stopwatch_slots.h"
#include "tools/vorda2-emulator/virtual_hidraw_linux.h"
#include "tools/vorda2-emulator/virtual_stopwatch.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "app/adapters/device_change_watcher.h"
#include "app/adapters/main_thread_dispatcher.h"
#include "app/form1.h"
#include "app/kit/backend.h"
#include "app/kit/button.h"
#include "app/kit/label.h"
#include "app/kit/static_text.h"
#include "app/kit/string_grid.h"
#include "app/startup/startup.h"
#include "hid/main_thread.h"
#include "tests/support/pixels.h"

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// Everything done in its scope (opening the stopwatch above all) is done
// as an unprivileged user; root again afterwards.
class AsUnprivilegedUser {
 public:
  AsUnprivilegedUser() {
    EXPECT_EQ(setegid(kNogroup), 0);
    EXPECT_EQ(seteuid(kNobody), 0);
  }
  ~AsUnprivilegedUser() {
    EXPECT_EQ(seteuid(0), 0);
    EXPECT_EQ(setegid(0), 0);
  }
  AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
  AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;
};

bool WaitFor(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (!done() && std::chrono::steady_clock::now() < end) {
    kit::Application::Instance()->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

class NoAccess : public testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to open the stopwatch as another user";
    // Root's own groups would hide nothing here, but the user is to have none.
    ASSERT_EQ(setgroups(0, nullptr), 0);
    // The testbed must be reachable at all for the user: its folder and the
    // sockets the preload library talks to the device through. The device
    // node itself stays root's alone, as udev leaves it without a rule.
    root_ = testbed_.root_dir();
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                            std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                            std::filesystem::perms::others_exec);
  }

  // Plugs the stopwatch in; with `userMayOpen`, its node is opened to the
  // user before udev announces it, as the rule's access tag does.
  std::shared_ptr<lumetra::virtual_hid::HidrawDevice> Plug(bool userMayOpen) {
    auto device = testbed_.Plug(lumetra::emulator::StopwatchSpec(), /*announce=*/false);
    device->SetWriteHandler([this](std::span<const std::uint8_t> written) {
      std::vector<lumetra::virtual_hid::Report> answers;
      if (const auto answer = lumetra::emulator::AnswerRequest(slots_, {written.begin(), written.end()}))
        answers.emplace_back(answer->begin(), answer->end());
      return answers;
    });
    const std::filesystem::path socket = root_ + "/ioctl" + device->Node();
    std::filesystem::permissions(socket, std::filesystem::perms::all);
    if (userMayOpen) {
      const std::filesystem::path node = std::filesystem::read_symlink(root_ + device->Node());
      std::filesystem::permissions(node, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_read | std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_read |
                                             std::filesystem::perms::others_write);
    }
    testbed_.Announce(*device);
    return device;
  }

  lumetra::virtual_hid::Testbed testbed_;
  std::string root_;
  const lumetra::emulator::Slots slots_ = lumetra::emulator::GenerateSlots(1);
};

TEST_F(NoAccess, IsReportedWithTheFixAndEndsWhenTheStopwatchOpens) {
  auto stopwatch = Plug(/*userMayOpen=*/false);
  app::MainThreadDispatcher dispatcher;
  hid::SetMainThreadDispatcher(&dispatcher);
  app::DeviceChangeWatcher deviceChanges;
  {
    std::unique_ptr<TForm1> form = app::CreateMainWindow();
    form->Show();
    {
      AsUnprivilegedUser user;
      ASSERT_TRUE(WaitFor([&] { return form->Label2->Text() == "Нет доступа к секундомеру"; })) << form->Label2->Text();
    }
    EXPECT_EQ(form->Label2->FontColor(), clBlue);
    EXPECT_EQ(StopwatchDevice, nullptr);
    EXPECT_LE(form->Label2->BoundsRect().Right + 24, form->Button3->BoundsRect().Left);
    EXPECT_EQ(form->StaticText1->Text(), "Правило udev: пакет или sudo make install");
    // The fix fits the status line: its ink keeps clear of the edge.
    const kit::Image status = form->StaticText1->Grab();
    const TRect inside = status.Rect().Inflate(-2, -2);
    const TRect ink = InkBounds(status, inside, ColorToRGB(clBtnFace));
    EXPECT_GT(ink.Left, inside.Left);
    EXPECT_LT(ink.Right, inside.Right);
    for (const std::string& tip : {form->Label2->Hint(), form->StaticText1->Hint()}) {
      EXPECT_NE(tip.find(stopwatch->Node()), std::string::npos) << tip;
      EXPECT_NE(tip.find("sudo make install"), std::string::npos) << tip;
      EXPECT_NE(tip.find("70-vorda2-stopwatch.rules"), std::string::npos) << tip;
    }

    testbed_.Unplug(*stopwatch);
    {
      AsUnprivilegedUser user;
      ASSERT_TRUE(WaitFor([&] { return form->Label2->Text() == "Секундомер отключен"; }));
    }
    EXPECT_TRUE(form->Label2->Hint().empty());
    EXPECT_TRUE(form->StaticText1->Text().empty());

    stopwatch = Plug(/*userMayOpen=*/true);
    {
      AsUnprivilegedUser user;
      ASSERT_TRUE(WaitFor([&] { return form->Label2->Text() == "Секундомер подключен"; }));
      EXPECT_EQ(form->Label2->FontColor(), clGreen);
      EXPECT_TRUE(form->Label2->Hint().empty());
      form->Button3->Click();
      EXPECT_TRUE(form->StaticText1->Text().starts_with("Данные считаны ")) << form->StaticText1->Text();
      EXPECT_FALSE(form->StringGrid1->Cell(1, 1).empty());
    }
  }
  hid::SetMainThreadDispatcher(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  lumetra::virtual_hid::ReexecUnderUmockdevPreload(argv);
  testing::InitGoogleTest(&argc, argv);
  // No display needed: the window is drawn off screen.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  kit::Application application(argc, argv);
  app::PrepareApplication(application);
  return RUN_ALL_TESTS();
}

// The main window on the system's own controls: drawn at the display's
// resolution without blur or clipping, and found by a program that drives
// it from outside by window classes and texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "app/form1.h"
#include "app/form1_layout.h"
#include "app/kit/backend.h"
#include "app/kit/button.h"
#include "app/kit/static_text.h"
#include "app/kit/string_grid.h"
#include "app/kit/windows/control_peer.h"
#include "app/kit/windows/native.h"
#include "app/startup/startup.h"
#include "tests/app/png_file.h"
#include "tests/app/support/own_windows_windows.h"
#include "tests/support/simulated_hid_platform.h"
#include "tests/support/test_event_loop.h"

namespace {

using kit::win::ToDevice;

HWND Hwnd(const TControl& control);

using nativeui::ClassOf;

// A control's place in its form's client area, in device pixels.
RECT PlaceOf(HWND control) {
  RECT rect;
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

SIZE TextSizeIn(HWND control) {
  HDC dc = ::GetDC(control);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  const std::wstring text = kit::win::Wide(kit::win::WindowText(control));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return size;
}

LONG FontHeightOf(HWND control) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

class Win32Window : public ::testing::Test {
 protected:
  void SetUp() override {
    form = app::CreateMainWindow();
    form->Show();
    loop.RunPending();
    Application().ProcessMessages();
  }
  void TearDown() override { form.reset(); }

  static kit::Application& Application() { return *kit::Application::Instance(); }
  HWND FormWindow() const { return ::GetAncestor(Hwnd(*form->Button2), GA_ROOT); }

  simulated_hid::SimulatedPlatform platform;
  simulated_hid::TestEventLoop loop;
  std::unique_ptr<TForm1> form;
};

// The native window behind a control.
HWND Hwnd(const TControl& control) {
  HWND parent = nativeui::OwnWindow(L"TForm", L"Lumetra");
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const kit::win::NativeChild* native = kit::win::NativeChild::Of(child);
    if (native != nullptr && &native->Peer() == &control.Peer()) return child;
  }
  return nullptr;
}

TEST_F(Win32Window, DrawsAtTheDisplaysResolution) {
  const char* expected = std::getenv("LUMETRA_EXPECTED_DPI");
  ASSERT_NE(expected, nullptr) << "run by CTest in a prefix of known resolution";
  const int dpi = kit::win::SystemDpi();
  ASSERT_EQ(dpi, std::atoi(expected)) << "the prefix's LogPixels did not take";
  HWND window = FormWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(kit::win::DpiOfWindow(window), dpi);

  // Fixed-size controls: the layout's edges, scaled one by one.
  for (const app::ControlLayout& entry : app::kForm1Layout.controls) {
    auto* control = dynamic_cast<TControl*>(form->FindComponent(entry.name));
    ASSERT_NE(control, nullptr) << entry.name;
    HWND native = Hwnd(*control);
    ASSERT_NE(native, nullptr) << entry.name;
    const RECT place = PlaceOf(native);
    EXPECT_EQ(place.left, ToDevice(entry.bounds.Left, dpi)) << entry.name;
    EXPECT_EQ(place.top, ToDevice(entry.bounds.Top, dpi)) << entry.name;
    const int fontHeight = entry.font ? entry.font->height : app::kForm1Layout.font.height;
    EXPECT_EQ(FontHeightOf(native), -ToDevice(fontHeight, dpi)) << entry.name;
    if (entry.kind == app::ControlKind::Label) {
      // A label is as large as its text at this resolution: nothing clipped.
      const SIZE text = TextSizeIn(native);
      EXPECT_GE(place.right - place.left, text.cx) << entry.name;
      EXPECT_GE(place.bottom - place.top, text.cy) << entry.name;
    } else {
      EXPECT_EQ(place.right, ToDevice(entry.bounds.Right, dpi)) << entry.name;
      EXPECT_EQ(place.bottom, ToDevice(entry.bounds.Bottom, dpi)) << entry.name;
    }
  }

  // Every control lies inside the client area.
  RECT client;
  ::GetClientRect(window, &client);
  EXPECT_GE(client.right, ToDevice(757, dpi));
  EXPECT_GE(client.bottom, ToDevice(502, dpi));

  // The grid's cells still fit without scroll bars, and its picture has the
  // client area's device size, header cells yellow, data cells white.
  TStringGrid& grid = *form->StringGrid1;
  HWND gridWindow = Hwnd(grid);
  EXPECT_EQ(::GetWindowLongW(gridWindow, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
  EXPECT_EQ(grid.ScrollMaximum(kit::ScrollBar::Horizontal), 0);
  EXPECT_EQ(grid.ScrollMaximum(kit::ScrollBar::Vertical), 0);
  RECT gridClient;
  ::GetClientRect(gridWindow, &gridClient);
  // Where the system keeps the frame 2 pixels wide at any resolution, a
  // sliver is left over at the right and the bottom.
  EXPECT_GE(gridClient.right, ToDevice(grid.CellRect(10, 9).Right, dpi));
  EXPECT_LE(gridClient.right, ToDevice(grid.CellRect(10, 9).Right + 2, dpi));
  const kit::Image picture = grid.GrabClient();
  EXPECT_EQ(picture.Width(), gridClient.right);
  EXPECT_EQ(picture.Height(), gridClient.bottom);
  const auto deviceCentre = [dpi](const TRect& cell) {
    return TPoint{ToDevice(cell.Left + cell.Width() - 4, dpi), ToDevice(cell.Top + cell.Height() - 4, dpi)};
  };
  EXPECT_EQ(picture.Pixel(deviceCentre(grid.CellRect(1, 0))), clYellow);
  EXPECT_EQ(picture.Pixel(deviceCentre(grid.CellRect(4, 9))), ColorToRGB(clWindow));
}

TEST_F(Win32Window, FollowsAMoveToAScreenOfAnotherResolution) {
  HWND window = FormWindow();
  const int dpi = kit::win::DpiOfWindow(window);
  const int higher = dpi * 3 / 2;
  RECT frame;
  ::GetWindowRect(window, &frame);
  RECT suggested{frame.left, frame.top, frame.left + (frame.right - frame.left) * 3 / 2,
                 frame.top + (frame.bottom - frame.top) * 3 / 2};
  ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(higher, higher), reinterpret_cast<LPARAM>(&suggested));
  HWND button = Hwnd(*form->Button3);
  const RECT place = PlaceOf(button);
  EXPECT_EQ(place.left, ToDevice(504, higher));
  EXPECT_EQ(place.right, ToDevice(504 + 193, higher));
  EXPECT_EQ(FontHeightOf(button), -ToDevice(16, higher));
  // Layout sizes are what they were.
  EXPECT_EQ(form->Button3->BoundsRect(), Bounds(504, 352, 193, 25));
}

TEST_F(Win32Window, OutsideDriverFindsEveryControlByClassAndText) {
  HWND window = nativeui::OwnWindow(L"TForm", L"Lumetra");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window, FormWindow());
  // The task bar's button belongs to the application window that owns it.
  HWND owner = ::GetWindow(window, GW_OWNER);
  EXPECT_EQ(ClassOf(owner), L"TApplication");
  EXPECT_EQ(kit::win::WindowText(owner), "Lumetro");
  EXPECT_EQ(form->TaskBarText(), "Lumetro");

  std::multiset<std::pair<std::wstring, std::string>> children;
  for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
    children.insert({ClassOf(child), kit::win::WindowText(child)});
  const std::multiset<std::pair<std::wstring, std::string>> expected = {
      {L"Button", "Считать данные"},
      {L"Button", "Сохранить в MS EXCEL"},
      {L"TStringGrid", ""},
      {L"Static", ""},  // the status line
      {L"Static", "Секундомер не подключен"},
      {L"Static", "MS EXCEL не установлен"},
      {L"Static", "ТАБЛИЦА ИЗМЕРЕНИЙ"},
      {L"Static", "(время, с)"},
      {L"Static", "© Lumetra, Новосибирск, 2024"},
      {L"Static", "Версия 1.0"},
  };
  EXPECT_EQ(children, expected);

  // Tab: grid, "Сохранить в MS EXCEL", "Считать данные", and round again;
  // neither button answers Enter as the default.
  HWND grid = Hwnd(*form->StringGrid1);
  HWND save = ::GetNextDlgTabItem(window, grid, FALSE);
  HWND read = ::GetNextDlgTabItem(window, save, FALSE);
  EXPECT_EQ(save, Hwnd(*form->Button2));
  EXPECT_EQ(read, Hwnd(*form->Button3));
  EXPECT_EQ(::GetNextDlgTabItem(window, read, FALSE), grid);
  for (HWND button : {save, read}) EXPECT_EQ(::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
}

// Not a check, run by hand (--gtest_also_run_disabled_tests
// --gtest_filter=*Pictures*): the window and its controls as the kit grabs
// them, as PNG pictures in the folder LUMETRA_SCREENSHOTS names, for a
// person to look at.
TEST_F(Win32Window, DISABLED_PicturesForAPerson) {
  const char* folder = std::getenv("LUMETRA_SCREENSHOTS");
  ASSERT_NE(folder, nullptr) << "LUMETRA_SCREENSHOTS names no folder";
  const auto save = [folder](const kit::Image& image, const std::string& name) {
    EXPECT_TRUE(WritePng(image, std::string(folder) + "/" + name + ".png")) << name;
  };
  form->StaticText1->SetText("Данные считаны 01.02.2024 в 12:34:56");
  save(form->Grab(), "form");
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* control = dynamic_cast<TControl*>(form->Components(i))) save(control->Grab(), control->Name());
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  kit::Application application(argc, argv);
  app::PrepareApplication(application);
  return RUN_ALL_TESTS();
}

// The real dialog against its template in res/: every control in order with
// its id, class, caption, styles and place, the tab order, the system menu,
// the About box and the icon resource.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/dialog_template.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "tests/ui/win32/station_process.h"

namespace win32test {
namespace {

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[32] = {};
  GetClassNameW(hwnd, name, 32);
  return name;
}

const wchar_t* ExpectedClass(res::Kind kind) {
  switch (kind) {
    case res::Kind::PushButton:
    case res::Kind::CheckBox:
    case res::Kind::GroupBox:
      return L"Button";
    case res::Kind::Edit:
      return L"Edit";
    case res::Kind::ListBox:
      return L"ListBox";
    default:
      return L"Static";
  }
}

bool Has(const res::Control& control, uint32_t style) { return (control.style & style) != 0; }

// The dialog's base units. The platform maps another program's dialog units
// only inside that program, so they are found from the client area, which is
// the template's size mapped with them.
struct Units {
  int x = 0;
  int y = 0;
  // Place and size each converted, as the dialog manager creates a control.
  RECT ToPixels(int left, int top, int width, int height) const {
    const LONG l = MulDiv(left, x, 4);
    const LONG t = MulDiv(top, y, 8);
    return RECT{l, t, l + MulDiv(width, x, 4), t + MulDiv(height, y, 8)};
  }
};

Units UnitsOf(HWND dialog, const res::Dialog& layout) {
  RECT client;
  GetClientRect(dialog, &client);
  Units units;
  for (int base = 1; base < 64; ++base) {
    if (MulDiv(layout.width, base, 4) == client.right) units.x = base;
    if (MulDiv(layout.height, base, 8) == client.bottom) units.y = base;
  }
  return units;
}

class TemplateWindow : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(station.Start()); }

  std::vector<HWND> Children() const {
    std::vector<HWND> children;
    for (HWND child = GetWindow(station.Dialog(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      children.push_back(child);
    }
    return children;
  }

  StationProcess station;
};

TEST_F(TemplateWindow, EveryControlStandsAsTheTemplateHasIt) {
  const res::Dialog& main = res::MainDialogTemplate();
  EXPECT_EQ(WindowText(station.Dialog()), Wide(main.caption));
  const LONG_PTR frame = GetWindowLongPtrW(station.Dialog(), GWL_STYLE);
  EXPECT_TRUE(frame & WS_SYSMENU);
  EXPECT_FALSE(frame & WS_MINIMIZEBOX);
  EXPECT_FALSE(frame & WS_MAXIMIZEBOX);
  EXPECT_TRUE(GetWindowLongPtrW(station.Dialog(), GWL_EXSTYLE) & WS_EX_APPWINDOW);

  const Units units = UnitsOf(station.Dialog(), main);
  ASSERT_GT(units.x, 0);
  ASSERT_GT(units.y, 0);

  // Children stand in creation order, which is the template's and so the tab order.
  const std::vector<HWND> children = Children();
  ASSERT_EQ(children.size(), main.controls.size());
  for (size_t i = 0; i < children.size(); ++i) {
    const res::Control& control = main.controls[i];
    HWND child = children[i];
    SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(control.id));
    EXPECT_EQ(GetDlgCtrlID(child) & 0xFFFF, control.id & 0xFFFF);
    EXPECT_EQ(ClassOf(child), ExpectedClass(control.kind));
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    EXPECT_EQ((style & WS_VISIBLE) != 0, !Has(control, res::kHidden));
    EXPECT_EQ((style & WS_TABSTOP) != 0, Has(control, res::kTabStop));
    // Device 2's box is the enumeration's to disable.
    if (control.id != res::IDC_DEVICE2) {
      EXPECT_EQ((style & WS_DISABLED) != 0, Has(control, res::kDisabled));
    }

    switch (control.kind) {
      case res::Kind::PushButton:
      case res::Kind::CheckBox:
      case res::Kind::GroupBox:
      case res::Kind::Label:
        // Labels the dialog writes into (status, sizes, countdown) start as the template has them, or blank.
        if (control.id == res::kNoId || control.kind != res::Kind::Label) {
          EXPECT_EQ(WindowText(child), Wide(control.caption));
        }
        break;
      case res::Kind::Edit:
        EXPECT_EQ((style & ES_LOWERCASE) != 0, Has(control, res::kLowerCase));
        EXPECT_EQ((style & ES_READONLY) != 0, Has(control, res::kReadOnly));
        EXPECT_EQ((style & ES_MULTILINE) != 0, Has(control, res::kMultiLine));
        EXPECT_TRUE(style & ES_AUTOHSCROLL);
        EXPECT_EQ((style & WS_VSCROLL) != 0, Has(control, res::kVScroll));
        break;
      case res::Kind::ListBox:
        EXPECT_TRUE(style & LBS_NOTIFY);
        break;
      case res::Kind::EtchedFrame:
        EXPECT_EQ(style & SS_TYPEMASK, SS_ETCHEDFRAME);
        break;
      case res::Kind::Icon:
        break;
    }
    if (control.kind == res::Kind::GroupBox) {
      EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
    }
    if (control.kind == res::Kind::CheckBox) {
      EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
    }
    if (Has(control, res::kOwnerDraw)) {
      EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);
    }

    // The place: the template's rectangle in this dialog's units.
    const RECT expected = units.ToPixels(control.x, control.y, control.width, control.height);
    RECT actual;
    GetWindowRect(child, &actual);
    MapWindowPoints(nullptr, station.Dialog(), reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    // A list box rounds its height to whole lines.
    if (control.kind != res::Kind::ListBox) {
      EXPECT_EQ(actual.bottom, expected.bottom);
    }
  }
  EXPECT_EQ(station.Text(res::IDC_MEMORY_SIZE), L"0Kbit");
  EXPECT_EQ(SendMessageW(station.Item(res::IDC_EEPROM), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(TemplateWindow, TabWalksTheVisibleTabStopsInTemplateOrder) {
  std::vector<int> expected;
  for (const res::Control& control : res::MainDialogTemplate().controls) {
    HWND child = station.Item(control.id);
    if (Has(control, res::kTabStop) && IsWindowVisible(child) && IsWindowEnabled(child)) expected.push_back(control.id);
  }
  ASSERT_FALSE(expected.empty());
  std::vector<int> walked;
  HWND first = station.Item(expected.front());
  HWND at = first;
  do {
    walked.push_back(GetDlgCtrlID(at));
    at = GetNextDlgTabItem(station.Dialog(), at, FALSE);
  } while (at != nullptr && at != first && walked.size() <= expected.size());
  EXPECT_EQ(walked, expected);
}

TEST_F(TemplateWindow, WindowMenuOpensTheAboutBoxFromTemplate100) {
  PostMessageW(station.Dialog(), WM_SYSCOMMAND, res::IDM_ABOUTBOX, 0);
  HWND about = nullptr;
  for (int i = 0; i < 200 && about == nullptr; ++i) {
    for (HWND box : station.OtherBoxes()) {
      if (WindowText(box) == Wide(res::AboutDialogTemplate().caption)) about = box;
    }
    Sleep(25);
  }
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(WindowText(GetDlgItem(about, IDOK)), L"确定");
  bool versionShown = false;
  for (HWND child = GetWindow(about, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    versionShown = versionShown || WindowText(child) == L"Tarnwick 3.0版";
  }
  EXPECT_TRUE(versionShown);
  // The icon control shows icon 128.
  EXPECT_NE(SendMessageW(GetDlgItem(about, res::IDR_MAINFRAME), STM_GETICON, 0, 0), 0);

  PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(station.WaitIdle());
  EXPECT_TRUE(station.boxes.empty());
  EXPECT_FALSE(IsWindow(about));
}

TEST_F(TemplateWindow, WindowMenuExportAsksForTheFileToWrite) {
  PostMessageW(station.Dialog(), WM_SYSCOMMAND, res::IDM_EXPORT_RECORD, 0);
  HWND save = nullptr;
  for (int i = 0; i < 400 && save == nullptr; ++i) {
    std::vector<HWND> others = station.OtherBoxes();
    if (!others.empty()) save = others.front();
    Sleep(25);
  }
  ASSERT_NE(save, nullptr);
  PostMessageW(save, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  ASSERT_TRUE(station.WaitIdle());
  // Cancelled: nothing written.
  EXPECT_FALSE(std::filesystem::exists(station.Folder() / "production.csv"));
}

TEST_F(TemplateWindow, TheProgramCarriesIcon128) {
  const std::wstring program = (ProgramFolder() / L"Tarnwick.exe").wstring();
  HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  EXPECT_NE(FindResourceW(image, MAKEINTRESOURCEW(res::IDR_MAINFRAME), RT_GROUP_ICON), nullptr);
  EXPECT_NE(LoadImageW(image, MAKEINTRESOURCEW(res::IDR_MAINFRAME), IMAGE_ICON, 32, 32, 0), nullptr);
  FreeLibrary(image);
}

}  // namespace
}  // namespace win32test

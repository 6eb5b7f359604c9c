// What the operator types into the real dialog: limits counted in GBK bytes,
// lower-case address fields, Enter and Exit, and the Exit button's own style.
#include <gtest/gtest.h>

#include <string>

#include "res/resource_ids.h"
#include "tests/ui/win32/station_process.h"

namespace win32test {
namespace {

using namespace std::chrono_literals;

class TypingWindow : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(station.Start()); }

  void Type(int id, const std::wstring& keys) {
    for (wchar_t key : keys) SendMessageW(station.Item(id), WM_CHAR, key, 0);
  }

  StationProcess station;
};

struct TypingCase {
  int id;
  const wchar_t* typed;
  const wchar_t* shown;
};

TEST_F(TypingWindow, FieldsTakeNoMoreBytesThanTheirLimitAndAddressesTurnLowerCase) {
  const TypingCase cases[] = {
      {res::IDC_DEVICE_NAME, L"abcdefghijklm", L"abcdefghijkl"},
      // Two bytes a character: six fit into twelve.
      {res::IDC_DEVICE_NAME, L"蓝牙名字蓝牙名字", L"蓝牙名字蓝牙"},
      // A double-byte character does not squeeze into the one byte left.
      {res::IDC_DEVICE_NAME, L"abcdefghijk蓝", L"abcdefghijk"},
      {res::IDC_START_NAP, L"ABCDE", L"abcd"},
      {res::IDC_START_UAP, L"5B7", L"5b"},
      {res::IDC_START_LAP, L"00A1F0F", L"00a1f0"},
      {res::IDC_CURRENT_LAP, L"00A1F0F", L"00a1f0"},
      {res::IDC_NEXT_LAP, L"00A1F0F", L"00a1f0"},
      // Unlimited, still lower case.
      {res::IDC_NEXT_NAP, L"ABCDEF", L"abcdef"},
      {res::IDC_FIRMWARE_PATH, L"C:\\FW\\App.XUV", L"C:\\FW\\App.XUV"},
  };
  for (const TypingCase& c : cases) {
    SCOPED_TRACE(Gbk(c.typed));
    SetWindowTextW(station.Item(c.id), L"");
    Type(c.id, c.typed);
    EXPECT_EQ(station.Text(c.id), c.shown);
  }
}

TEST_F(TypingWindow, EnterInAFieldEndsTheProgram) {
  PostMessageW(station.Item(res::IDC_DEVICE_NAME), WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(station.Item(res::IDC_DEVICE_NAME), WM_KEYUP, VK_RETURN, 0);
  EXPECT_TRUE(station.WaitExit(10s));
}

TEST_F(TypingWindow, ExitEndsTheProgram) {
  station.Click(res::kIdCancel);
  EXPECT_TRUE(station.WaitExit(10s));
}

TEST_F(TypingWindow, ExitStaysOwnerDrawnWhenMadeTheDefaultButton) {
  HWND exit = station.Item(res::kIdCancel);
  SendMessageW(exit, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(GetWindowLongPtrW(exit, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_TRUE(SendMessageW(exit, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
  SendMessageW(exit, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_EQ(GetWindowLongPtrW(exit, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_TRUE(SendMessageW(exit, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON);
}

}  // namespace
}  // namespace win32test

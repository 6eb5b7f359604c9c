// The real Win32 window in this process: the window menu, the icon, files
// dropped on the edits (shortcuts included) and the Exit button's drawing.
#include <fstream>
#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "res/strings.h"
#include "tests/ui/win32/dialog/dialog_fixture.h"

namespace win32test {
namespace {

std::wstring MenuText(HMENU menu, UINT command) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, command, text, 128, MF_BYCOMMAND);
  return text;
}

TEST_F(InProcessDialog, WindowMenuEndsWithAboutAndExportAndTheWindowHasIcon128) {
  Run([](HWND dialog) {
    HMENU menu = GetSystemMenu(dialog, FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 4);
    // Each item after a separator of its own.
    EXPECT_EQ(GetMenuItemID(menu, count - 4), 0u);
    EXPECT_EQ(GetMenuItemID(menu, count - 3), static_cast<UINT>(res::IDM_ABOUTBOX));
    EXPECT_EQ(GetMenuItemID(menu, count - 2), 0u);
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(res::IDM_EXPORT_RECORD));
    EXPECT_EQ(MenuText(menu, res::IDM_ABOUTBOX), L"关于 Tarnwick(&A)...");
    EXPECT_EQ(MenuText(menu, res::IDM_EXPORT_RECORD), L"导出生产记录(&E)...");

    EXPECT_NE(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(SendMessageW(dialog, WM_QUERYDRAGICON, 0, 0), 0);
  });
}

// ------------------------------------------------------------------ drops

// A shell drop of `paths`, as the shell hands it over: a DROPFILES block of wide names.
HDROP DropOf(const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const std::wstring& path : paths) names += path + L'\0';
  names += L'\0';
  const size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

bool SaveShortcut(const std::filesystem::path& link, const std::filesystem::path& target) {
  IShellLinkW* shell = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shell)))) {
    return false;
  }
  IPersistFile* file = nullptr;
  bool saved = SUCCEEDED(shell->SetPath(target.wstring().c_str())) &&
               SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
               SUCCEEDED(file->Save(link.wstring().c_str(), TRUE));
  if (file != nullptr) file->Release();
  shell->Release();
  return saved;
}

TEST_F(InProcessDialog, DroppedFilesReplaceTheTextOfTheDropEdits) {
  const std::filesystem::path firmware = folder / L"固件 app.xuv";
  const std::filesystem::path other = folder / "other.bin";
  const std::filesystem::path subfolder = folder / "fw";
  const std::filesystem::path link = folder / "app.lnk";
  const std::filesystem::path deadLink = folder / "dead.lnk";
  std::ofstream(firmware) << "@000000 1234\n";
  std::ofstream(other) << "xx";
  std::filesystem::create_directory(subfolder);
  // Wine keeps a shortcut's target in the narrow code page of its own
  // language, so the shortcut's target has a plain name.
  ASSERT_TRUE(SaveShortcut(link, other));
  ASSERT_TRUE(SaveShortcut(deadLink, folder / "gone.xuv"));

  struct Drop {
    const char* what;
    std::vector<std::wstring> paths;
    std::wstring shown;  // empty: the text stays as it was
  };
  const std::vector<Drop> drops = {
      {"one file", {firmware.wstring()}, firmware.wstring()},
      {"three files: the first counts", {other.wstring(), firmware.wstring(), subfolder.wstring()}, other.wstring()},
      {"a folder is refused", {subfolder.wstring()}, L""},
      {"a shortcut gives its target", {link.wstring()}, other.wstring()},
      {"a shortcut to a missing file is refused", {deadLink.wstring()}, L""},
      {"a missing file is refused", {(folder / "none.bin").wstring()}, L""},
  };
  Run([&](HWND dialog) {
    for (int id : {res::IDC_FIRMWARE_PATH, res::IDC_START_LAP, res::IDC_DEVICE_NAME}) {
      HWND edit = GetDlgItem(dialog, id);
      EXPECT_TRUE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << id;
      for (const Drop& drop : drops) {
        SCOPED_TRACE(std::string(drop.what) + ", control " + std::to_string(id));
        SetWindowTextW(edit, L"before");
        SendMessageW(edit, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(drop.paths)), 0);
        std::wstring shown = drop.shown.empty() ? L"before" : drop.shown;
        // The address fields show every text in lower case, a dropped one too.
        if (GetWindowLongPtrW(edit, GWL_STYLE) & ES_LOWERCASE) {
          CharLowerBuffW(shown.data(), static_cast<DWORD>(shown.size()));
        }
        EXPECT_EQ(WindowText(edit), shown);
        if (!drop.shown.empty()) {
          // The caret behind the path's last character, so the file name is in view.
          DWORD start = 0;
          DWORD end = 0;
          SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
          EXPECT_EQ(start, shown.size());
          EXPECT_EQ(end, shown.size());
        }
      }
    }
    // Neither the log pane nor the PIO fields take drops.
    EXPECT_FALSE(GetWindowLongPtrW(GetDlgItem(dialog, res::IDC_LOG), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_FALSE(GetWindowLongPtrW(GetDlgItem(dialog, res::IDC_PIO1), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  });
}

// ------------------------------------------------------------------ Exit button

// The colours of the button's top-left and bottom-right pixels as drawn now.
struct Corners {
  COLORREF topLeft;
  COLORREF bottomRight;
};

// The button draws itself into a bitmap of ours: the screen's pixels are not
// to be read back under every display.
Corners CornersOf(HWND button) {
  RECT rect;
  GetClientRect(button, &rect);
  HDC screen = GetDC(button);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, rect.right, rect.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  const Corners corners{GetPixel(dc, 0, 0), GetPixel(dc, rect.right - 1, rect.bottom - 1)};
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(button, screen);
  return corners;
}

LPARAM Centre(HWND button) {
  RECT rect;
  GetClientRect(button, &rect);
  return MAKELPARAM(rect.right / 2, rect.bottom / 2);
}

void MoveOnto(HWND button, WPARAM keys) {
  RECT rect;
  GetWindowRect(button, &rect);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  SendMessageW(button, WM_MOUSEMOVE, keys, Centre(button));
}

TEST_F(InProcessDialog, ExitIsFlatAtRestRaisedUnderTheMouseAndSunkenWhilePressed) {
  Run([](HWND dialog) {
    HWND exit = GetDlgItem(dialog, res::kIdCancel);
    SetForegroundWindow(dialog);
    Pump();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);

    Corners rest = CornersOf(exit);
    EXPECT_EQ(rest.topLeft, face);
    EXPECT_EQ(rest.bottomRight, face);

    // Arriving with the left button already down does not light it up.
    MoveOnto(exit, MK_LBUTTON);
    EXPECT_EQ(CornersOf(exit).topLeft, face);

    MoveOnto(exit, 0);
    Corners raised = CornersOf(exit);
    EXPECT_EQ(raised.topLeft, light);
    EXPECT_EQ(raised.bottomRight, shadow);

    SendMessageW(exit, BM_SETSTATE, TRUE, 0);
    Corners sunken = CornersOf(exit);
    EXPECT_EQ(sunken.topLeft, shadow);
    EXPECT_EQ(sunken.bottomRight, light);
    SendMessageW(exit, BM_SETSTATE, FALSE, 0);

    // Leaving, cancel mode and the focus going elsewhere each take the edge away.
    for (UINT message : {static_cast<UINT>(WM_MOUSELEAVE), static_cast<UINT>(WM_CANCELMODE)}) {
      MoveOnto(exit, 0);
      ASSERT_EQ(CornersOf(exit).topLeft, light);
      SendMessageW(exit, message, 0, 0);
      EXPECT_EQ(CornersOf(exit).topLeft, face) << message;
    }
  });
}

}  // namespace
}  // namespace win32test

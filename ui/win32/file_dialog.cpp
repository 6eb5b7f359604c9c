#include "ui/win32/file_dialog.h"

#include <vector>

namespace ui::win32 {
namespace {

// Room for the longest path the platform takes.
constexpr size_t kPathRoom = 32768;

// The extension of the filter's first pattern ("csv" of "*.csv"), added to a
// name typed without one; empty when the pattern names none.
std::wstring DefaultExtension(const std::wstring& filter) {
  const size_t bar = filter.find(L'|');
  if (bar == std::wstring::npos) return {};
  std::wstring pattern = filter.substr(bar + 1, filter.find_first_of(L"|;", bar + 1) - bar - 1);
  if (pattern.rfind(L"*.", 0) != 0 || pattern.find_first_of(L"*?", 2) != std::wstring::npos) return {};
  return pattern.substr(2);
}

}  // namespace

std::wstring PlatformFilter(const std::wstring& filter) {
  std::wstring result;
  size_t start = 0;
  while (start < filter.size()) {
    const size_t bar = filter.find(L'|', start);
    const std::wstring part = filter.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start);
    if (part.empty()) break;  // the "||" that ends the list
    result += part;
    result += L'\0';
    if (bar == std::wstring::npos) break;
    start = bar + 1;
  }
  result += L'\0';
  return result;
}

std::optional<std::wstring> ChooseOpenFile(HWND owner, const std::wstring& filter) {
  const std::wstring platformFilter = PlatformFilter(filter);
  std::vector<wchar_t> path(kPathRoom, L'\0');
  OPENFILENAMEW box{};
  box.lStructSize = sizeof box;
  box.hwndOwner = owner;
  box.lpstrFilter = platformFilter.c_str();
  box.nFilterIndex = 1;
  box.lpstrFile = path.data();
  box.nMaxFile = static_cast<DWORD>(path.size());
  box.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
  if (!GetOpenFileNameW(&box)) return std::nullopt;
  return std::wstring(path.data());
}

std::optional<std::wstring> ChooseSaveFile(HWND owner, const std::wstring& filter, const std::wstring& fileName) {
  const std::wstring platformFilter = PlatformFilter(filter);
  const std::wstring extension = DefaultExtension(filter);
  std::vector<wchar_t> path(kPathRoom, L'\0');
  fileName.copy(path.data(), path.size() - 1);
  OPENFILENAMEW box{};
  box.lStructSize = sizeof box;
  box.hwndOwner = owner;
  box.lpstrFilter = platformFilter.c_str();
  box.nFilterIndex = 1;
  box.lpstrFile = path.data();
  box.nMaxFile = static_cast<DWORD>(path.size());
  box.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  box.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER;
  if (!GetSaveFileNameW(&box)) return std::nullopt;
  return std::wstring(path.data());
}

}  // namespace ui::win32

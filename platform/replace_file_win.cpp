#include "platform/replace_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/final_path_win.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool SameFile(HANDLE held, const std::wstring& name) {
  HANDLE named = CreateFileW(name.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (named == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  bool same = GetFileInformationByHandle(held, &a) && GetFileInformationByHandle(named, &b) &&
              a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
              a.nFileIndexLow == b.nFileIndexLow;
  CloseHandle(named);
  return same;
}

// Opens the temporary file and holds its lock. A writer that waited for the
// lock may find the file it opened already renamed over the target; it must
// not write there, so it opens the name afresh. Shared for deletion, so that
// it can be renamed while held.
HANDLE OpenLockedTemporary(const std::wstring& temp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
      CloseHandle(file);
      return INVALID_HANDLE_VALUE;
    }
    if (SameFile(file, temp)) return file;
    CloseHandle(file);
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const std::string& content) {
  size_t done = 0;
  while (done < content.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// A reader that has the target open without sharing deletion (any C runtime
// reader does) makes the rename fail for that moment: try again briefly
// rather than call the file unwritable.
bool RenameOver(const std::wstring& temp, const std::wstring& target, RenameSync sync) {
  DWORD flags = MOVEFILE_REPLACE_EXISTING | (sync == RenameSync::Now ? MOVEFILE_WRITE_THROUGH : 0);
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (MoveFileExW(temp.c_str(), target.c_str(), flags)) return true;
    DWORD why = GetLastError();
    if (why != ERROR_SHARING_VIOLATION && why != ERROR_ACCESS_DENIED && why != ERROR_LOCK_VIOLATION) return false;
    Sleep(20);
  }
  return false;
}


}  // namespace

// Windows resolves a whole chain at once, and only to a file that exists: a
// link to a missing file is replaced itself.
std::string FollowLinks(const std::string& path) {
  std::wstring wide = Utf8ToWide(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
  std::wstring final = FinalPath(wide);
  return final.empty() ? path : WideToUtf8(final);
}

bool ReplaceFileContents(const std::string& path, const std::string& content, RenameSync sync) {
  const std::wstring target = Utf8ToWide(FollowLinks(path));
  // One fixed name: a write cut short leaves at most this one file, which the
  // next write takes over.
  const std::wstring temp = target + L".tmp";
  HANDLE file = OpenLockedTemporary(temp);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER start{};
  bool ok = SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && SetEndOfFile(file) && WriteAll(file, content) &&
            FlushFileBuffers(file);
  ok = ok && RenameOver(temp, target, sync);
  if (!ok) DeleteFileW(temp.c_str());
  CloseHandle(file);  // releases the lock, after the rename
  return ok;
}

}  // namespace platform

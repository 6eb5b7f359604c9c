#include "ui/win32/gbk_text.h"

#include <algorithm>

#include "ui/win32/windows_api.h"

namespace ui::win32 {

int GbkLength(std::wstring_view wide) { return static_cast<int>(platform::WideToGbk(wide).size()); }

int WidePosition(std::wstring_view wide, int gbkBytes) {
  if (gbkBytes <= 0) return 0;
  int bytes = 0;
  for (size_t i = 0; i < wide.size(); ++i) {
    const bool pair = i + 1 < wide.size() && IS_HIGH_SURROGATE(wide[i]) && IS_LOW_SURROGATE(wide[i + 1]);
    const size_t units = pair ? 2 : 1;
    bytes += GbkLength(wide.substr(i, units));
    if (pair) ++i;
    if (bytes >= gbkBytes) return static_cast<int>(i + 1);
  }
  return static_cast<int>(wide.size());
}

int GbkPosition(std::wstring_view wide, int wideUnits) {
  if (wideUnits <= 0) return 0;
  const size_t units = std::min(wide.size(), static_cast<size_t>(wideUnits));
  return GbkLength(wide.substr(0, units));
}

}  // namespace ui::win32

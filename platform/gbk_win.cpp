#include <windows.h>

#include "platform/gbk.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

constexpr UINT kGbk = 936;  // never CP_ACP: the texts are GBK on a Windows of any language
constexpr wchar_t kReplacement = 0xFFFD;

// One whole conversion, or false when `flags` made it refuse the input.
bool ToWide(UINT codePage, DWORD flags, std::string_view text, std::wstring* out) {
  out->clear();
  if (text.empty()) return true;
  int n = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return false;
  out->resize(static_cast<size_t>(n));
  return MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), out->data(), n) == n;
}

std::string FromWide(UINT codePage, std::wstring_view wide) {
  if (wide.empty()) return {};
  // Code page 936 takes no flags but these; UTF-8 takes none at all.
  DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* fallback = codePage == CP_UTF8 ? nullptr : "?";
  int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, fallback,
                              nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n, fallback, nullptr);
  return out;
}

}  // namespace

std::wstring GbkToWide(std::string_view gbk) {
  std::wstring out;
  if (ToWide(kGbk, MB_ERR_INVALID_CHARS, gbk, &out) && out.find(kReplacement) == std::wstring::npos) return out;
  // Some byte is not GBK: character by character, so each bad byte becomes one
  // U+FFFD and the good characters around it survive. 0x80 and 0xFF are no
  // GBK character, though Windows gives 0x80 the euro sign.
  out.clear();
  std::wstring one;
  for (size_t at = 0; at < gbk.size();) {
    unsigned char b = static_cast<unsigned char>(gbk[at]);
    if (b < 0x80) {
      out += static_cast<wchar_t>(b);
      ++at;
    } else if (IsGbkLeadByte(b) && at + 1 < gbk.size() && ToWide(kGbk, MB_ERR_INVALID_CHARS, gbk.substr(at, 2), &one) &&
               one.size() == 1 && one[0] != kReplacement) {
      out += one;
      at += 2;
    } else {
      out += kReplacement;
      ++at;
    }
  }
  return out;
}

// GBK holds nothing beyond the basic plane: a character written as a
// surrogate pair is one character that GBK cannot hold, so one '?'.
std::string WideToGbk(std::wstring_view wide) {
  std::wstring single;
  single.reserve(wide.size());
  for (size_t at = 0; at < wide.size(); ++at) {
    bool pair = wide[at] >= 0xD800 && wide[at] <= 0xDBFF && at + 1 < wide.size() && wide[at + 1] >= 0xDC00 &&
                wide[at + 1] <= 0xDFFF;
    single += pair ? kReplacement : wide[at];
    if (pair) ++at;
  }
  return FromWide(kGbk, single);
}

std::wstring Utf8ToWide(std::string_view utf8) {
  std::wstring out;
  ToWide(CP_UTF8, 0, utf8, &out);  // bad sequences become U+FFFD
  return out;
}

std::string WideToUtf8(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }

std::string GbkToUtf8(std::string_view gbk) { return WideToUtf8(GbkToWide(gbk)); }

std::string Utf8ToGbk(std::string_view utf8) { return WideToGbk(Utf8ToWide(utf8)); }

}  // namespace platform

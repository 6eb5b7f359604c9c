#include "platform/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace platform {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Usable()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as it can; on a byte or character it cannot take it
  // writes `replacement` and steps over `skip(in)` bytes of input.
  template <typename Skip>
  std::string Run(std::string_view text, std::string_view replacement, Skip skip) {
    // Without a converter (no descriptor left to load one) ASCII still comes through.
    if (!Usable()) return std::string(text);
    std::string out;
    char buffer[1024];
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer, outPtr);
      if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
        out.append(replacement);
        size_t n = skip(in, inLeft);
        in += n;
        inLeft -= n;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

 private:
  bool Usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

size_t Utf8SequenceLength(const char* p, size_t left) {
  unsigned char c = static_cast<unsigned char>(*p);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
  return n > left ? left : n;
}

}  // namespace

// One converter per direction, opened at first use and kept, shared by the
// threads under a lock. Not thread_local: this file is linked into the
// simulated libraries, and the leak checker's scan of a loaded library's
// dynamic thread storage crashes now and then at exit.
std::string GbkToUtf8(std::string_view gbk) {
  static std::mutex mutex;
  static Converter converter("UTF-8", "GBK");
  std::lock_guard<std::mutex> lock(mutex);
  return converter.Run(gbk, "\xEF\xBF\xBD", [](const char*, size_t) { return size_t{1}; });
}

std::string Utf8ToGbk(std::string_view utf8) {
  static std::mutex mutex;
  static Converter converter("GBK", "UTF-8");
  std::lock_guard<std::mutex> lock(mutex);
  return converter.Run(utf8, "?", Utf8SequenceLength);
}

}  // namespace platform

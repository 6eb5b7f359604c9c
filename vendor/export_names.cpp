// The decorated names the loader asks each chip library for, as strings in
// this object file, so the build can compare them with the export tables of
// the 32-bit libraries it cannot load ("TWEXPORT:<file>:<name>@<bytes>").
#include <cstddef>

#include "vendor/exports.h"

namespace vendor {
namespace {

template <typename Fn, size_t Length>
struct ExportName {
  char text[Length + 48] = {};
  constexpr ExportName(const char* file, const char (&name)[Length]) {
    size_t at = 0;
    for (const char* c = "TWEXPORT:"; *c != '\0'; ++c) text[at++] = *c;
    for (const char* c = file; *c != '\0'; ++c) text[at++] = *c;
    text[at++] = ':';
    for (size_t i = 0; i + 1 < Length; ++i) text[at++] = name[i];
    text[at++] = '@';
    char digits[8] = {};
    size_t count = 0;
    size_t bytes = ArgumentBytes<Fn>::value;
    do {
      digits[count++] = static_cast<char>('0' + bytes % 10);
      bytes /= 10;
    } while (bytes != 0);
    while (count > 0) text[at++] = digits[--count];
  }
};

#define TARNWICK_EXPORT_NAME(file, name) \
  [[gnu::used]] constexpr ExportName<decltype(&::name), sizeof(#name)> name##_export(file, #name);
#define TARNWICK_ENGINE_NAME(name) TARNWICK_EXPORT_NAME("TestEngine.dll", name)
#define TARNWICK_FLASH_NAME(name) TARNWICK_EXPORT_NAME("TestFlash.dll", name)
#define TARNWICK_E2_NAME(name) TARNWICK_EXPORT_NAME("TestE2.dll", name)

TEST_ENGINE_EXPORTS(TARNWICK_ENGINE_NAME)
TEST_FLASH_EXPORTS(TARNWICK_FLASH_NAME)
TEST_E2_EXPORTS(TARNWICK_E2_NAME)

}  // namespace
}  // namespace vendor

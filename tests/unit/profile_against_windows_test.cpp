// platform::ReadProfileString against the system's own GetPrivateProfileStringA,
// over one table of files. Runs where the system has it: Windows, or Wine.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/profile_file.h"
#include "tests/support/temp_directory.h"

namespace {

struct Case {
  const char* what;
  std::string file;
  const char* section;
  const char* key;
  size_t size = 64;
  // Set where the system reads otherwise and ours is kept; the reason stands beside the case.
  const char* systemReads = nullptr;
};

std::string SystemRead(const Case& c) {
  std::string buffer(c.size, '\0');
  DWORD n = GetPrivateProfileStringA(c.section, c.key, "", buffer.data(), static_cast<DWORD>(c.size), ".\\btconfig.ini");
  buffer.resize(n);
  return buffer;
}

TEST(ProfileAgainstWindows, ReadsAsTheSystemReads) {
  const std::string longValue(100, 'a');
  const Case kCases[] = {
      {"CR LF", "[SUM]\r\ntotal=9\r\n", "SUM", "total"},
      {"LF", "[SUM]\ntotal=9\n", "SUM", "total"},
      {"lone CR", "[SUM]\rtotal=9\r", "SUM", "total"},
      {"CR before CR LF", "[address]\r\nLAP=00a1ff\r\r\n", "address", "LAP"},
      {"last line without an end", "[SUM]\r\ntotal=9", "SUM", "total"},
      {"byte-order mark", "\xEF\xBB\xBF[SUM]\r\ntotal=9\r\n", "SUM", "total"},
      {"blanks around the equals sign", "[SUM]\r\n  total  =  9  \r\n", "SUM", "total"},
      {"tabs around the equals sign", "[SUM]\r\n\ttotal\t=\t9\t\r\n", "SUM", "total"},
      {"blanks inside the brackets", "[ SUM ]\r\ntotal=9\r\n", "SUM", "total"},
      {"blanks before the bracket", "  [SUM]\r\ntotal=9\r\n", "SUM", "total"},
      {"names without case", "[sum]\r\nTOTAL=9\r\n", "SUM", "total"},
      {"first of two sections", "[SUM]\r\ntotal=1\r\n[SUM]\r\ntotal=2\r\n", "SUM", "total"},
      {"first of two keys", "[SUM]\r\ntotal=1\r\ntotal=2\r\n", "SUM", "total"},
      {"missing key", "[SUM]\r\nother=1\r\n", "SUM", "total"},
      {"missing section", "[PIO]\r\ntotal=1\r\n", "SUM", "total"},
      {"key before any section", "total=1\r\n[SUM]\r\n", "SUM", "total"},
      {"key in the next section", "[SUM]\r\n[address]\r\ntotal=1\r\n", "SUM", "total"},
      {"header [a] x]: the name is a] x", "[a] x]\r\nk=v\r\n", "a] x", "k"},
      {"header [a] x]: not the section a", "[a] x]\r\nk=v\r\n", "a", "k"},
      {"text after the header", "[SUM] ; note\r\ntotal=9\r\n", "SUM", "total"},
      {"long value cut to the buffer", "[address]\r\nLAP=" + longValue + "\r\n", "address", "LAP", 32},
      {"value just fits", "[address]\r\nLAP=0123456789abcde\r\n", "address", "LAP", 16},
      {"matching quotes dropped", "[PIO]\r\npio_1=\"a b\"\r\n", "PIO", "pio_1"},
      {"single quotes dropped", "[PIO]\r\npio_1='a b'\r\n", "PIO", "pio_1"},
      {"one quote kept", "[PIO]\r\npio_1=\"a b\r\n", "PIO", "pio_1"},
      {"quotes inside kept", "[PIO]\r\npio_1=a \"b\" c\r\n", "PIO", "pio_1"},
      {"comment line", "[SUM]\r\n;total=1\r\ntotal=2\r\n", "SUM", "total"},
      {"semicolon after the value is value", "[SUM]\r\ntotal=9 ; nine\r\n", "SUM", "total"},
      {"equals sign in the value", "[PIO]\r\npio_1=a=b\r\n", "PIO", "pio_1"},
      {"empty value", "[SUM]\r\ntotal=\r\n", "SUM", "total"},
      {"line without equals sign", "[SUM]\r\ntotal\r\n", "SUM", "total"},
      {"blank inside the key", "[PIO]\r\nmy key=v\r\n", "PIO", "my key"},
      {"GBK value", "[PIO]\r\npio_1=\xB2\xE2\xCA\xD4\r\n", "PIO", "pio_1"},
      {"key only in the second of two sections", "[SUM]\r\na=1\r\n[SUM]\r\ntotal=2\r\n", "SUM", "total"},
      {"quotes inside blanks", "[SUM]\r\ntotal= \"9\" \r\n", "SUM", "total"},
      // An empty section name finds nothing in the system's read, and the "[]"
      // section in ours. Kept as it is: the program reads only SUM, address and PIO.
      {"empty section name", "[]\r\ntotal=9\r\n", "", "total", 64, ""},
      {"no closing bracket", "[SUM\r\ntotal=9\r\n", "SUM", "total"},
      {"buffer of one byte", "[SUM]\r\ntotal=9\r\n", "SUM", "total", 1},
      {"empty lines between", "\r\n\r\n[SUM]\r\n\r\ntotal=9\r\n\r\n", "SUM", "total"},
  };
  fakes::TempWorkingDirectory folder;
  // The comparison means something only if the system reads the file at all.
  folder.Write("btconfig.ini", kCases[0].file);
  ASSERT_EQ(SystemRead(kCases[0]), "9");
  for (const Case& c : kCases) {
    folder.Write("btconfig.ini", c.file);
    std::string ours = platform::ReadProfileString(c.section, c.key, c.size, "./btconfig.ini");
    std::string system = SystemRead(c);
    if (c.systemReads != nullptr) {
      EXPECT_EQ(system, c.systemReads) << c.what << " (the system's read changed)";
      EXPECT_NE(ours, system) << c.what;
    } else {
      EXPECT_EQ(ours, system) << c.what;
    }
  }
  // No file at all.
  std::remove("btconfig.ini");
  EXPECT_EQ(platform::ReadProfileString("SUM", "total", 16, "./btconfig.ini"), "");
  EXPECT_EQ(SystemRead({"missing file", "", "SUM", "total", 16}), "");
}

}  // namespace
#endif

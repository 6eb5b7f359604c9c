#include "bench/bench_folder.h"

#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/profile_file.h"

namespace bench {
namespace {

constexpr const char* kStationIni = "station/station.ini";
constexpr const char* kCounter = "[SUM]\r\ntotal=0\r\n[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a1ff\r\n";

}  // namespace

bool MakeBenchFolder(const std::string& parent, const std::string& firmwareSample, BenchFolder* folder,
                     std::string* error) {
  std::string pattern = parent + "/tarnwick-bench-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) {
    *error = "cannot make a folder under " + parent;
    return false;
  }
  folder->root = name.data();
  folder->floor = folder->root + "/floor";
  folder->program = folder->root + "/program";
  folder->firmware = folder->root + "/firmware.bin";
  std::error_code failed;
  std::filesystem::create_directory(folder->floor, failed);
  if (!failed) std::filesystem::create_directory(folder->program, failed);
  if (!failed) std::filesystem::copy_file(firmwareSample, folder->firmware, failed);
  if (failed) {
    *error = "cannot lay out " + folder->root + ": " + failed.message();
    return false;
  }
  return true;
}

void RemoveBenchFolder(const BenchFolder& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder.root, ignored);
}

bool EnterStation(const std::string& folder, vendor::Libraries& libs, std::string* error) {
  if (chdir(folder.c_str()) != 0) {
    *error = "cannot enter " + folder;
    return false;
  }
  uint16_t length = 0, count = 0;
  libs.engine->teGetAvailableSpiPorts(&length, nullptr, nullptr, &count);  // lays out the default station
  std::ofstream(folder + "/btconfig.ini", std::ios::binary) << kCounter;
  if (!platform::WriteProfileString("station", "timing", "instant", kStationIni)) {
    *error = "cannot write " + folder + "/" + kStationIni;
    return false;
  }
  return true;
}

bool TraceCalls(bool on) { return platform::WriteProfileString("station", "trace", on ? "on" : "off", kStationIni); }

std::string FileSystemName(const std::string& path) {
  struct statfs info {};
  if (statfs(path.c_str(), &info) != 0) return "unknown";
  switch (static_cast<unsigned long>(info.f_type)) {
    case 0xEF53:
      return "ext4";
    case 0x01021994:
      return "tmpfs";
    case 0x58465342:
      return "xfs";
    case 0x9123683E:
      return "btrfs";
    case 0x794C7630:
      return "overlayfs";
    default: {
      char hex[32];
      snprintf(hex, sizeof hex, "type 0x%lx", static_cast<unsigned long>(info.f_type));
      return hex;
    }
  }
}

}  // namespace bench

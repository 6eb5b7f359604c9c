// A station folder on another machine's file system: the real program, its
// statfs answered by a preloaded shim, since this machine mounts no NFS or SMB.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;

#include <filesystem>
#include <fstream>

#include "platform/profile_file.h"
#include "tests/station/accepted_laps.h"
#include "tests/support/temp_directory.h"
#include "vendor/library_loader.h"

namespace {

constexpr const char* kWriteOk = "写蓝牙地址成功! ";
constexpr const char* kNetworkFolder =
    "btconfig.ini或production.db在网络文件夹上, 本地记录的锁在多台电脑之间无效! 本程序不写地址, "
    "多个工位请用地址服务器(btconfig.ini中的[ledger] url). ";

class NetworkFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(vendor::LoadLibraries(SIM_LIBRARY_DIR, &libs, &error)) << error;
    uint16_t length = 0, count = 0;
    libs.engine->teGetAvailableSpiPorts(&length, nullptr, nullptr, &count);  // lays out the default station
    ASSERT_TRUE(platform::WriteProfileString("station", "timing", "instant", "station/station.ini"));
    ASSERT_TRUE(platform::WriteProfileString("station", "trace", "on", "station/station.ini"));
    folder.Write("btconfig.ini", "[SUM]\r\ntotal=0\r\n[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a1ff\r\n");
  }

  // One SetAddr press on both devices by a program whose statfs says `type`
  // for the paths holding `match`; what it logged.
  std::string Press(const char* type, const char* match) {
    std::vector<std::string> env;
    std::string asan = "verify_asan_link_order=0";  // the shim is loaded before a sanitizer's runtime
    for (char** at = environ; *at != nullptr; ++at) {
      std::string entry = *at;
      if (entry.rfind("ASAN_OPTIONS=", 0) == 0) {
        asan = entry.substr(13) + ":" + asan;
      } else if (entry.rfind("LD_PRELOAD=", 0) != 0) {
        env.push_back(entry);
      }
    }
    env.push_back("ASAN_OPTIONS=" + asan);
    env.push_back(std::string("LD_PRELOAD=") + FAKE_STATFS);
    env.push_back(std::string("TARNWICK_STATFS_TYPE=") + type);
    env.push_back(std::string("TARNWICK_STATFS_MATCH=") + match);
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);

    char program[] = PRESS_LOOP;
    char libraries[] = SIM_LIBRARY_DIR;
    char presses[] = "1";
    char* argv[] = {program, libraries, presses, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "press.out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0);
    if (spawned != 0) return {};
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return folder.Read("press.out");
  }

  fakes::TempWorkingDirectory folder;
  vendor::Libraries libs;
};

TEST_F(NetworkFolder, ACounterOrRecordOnAnotherMachineWritesNoAddress) {
  // A local disk through the same shim: both modules get their address, and the record is made.
  std::string local = Press("ef53", "");
  EXPECT_NE(local.find(kWriteOk), std::string::npos) << local;
  ASSERT_EQ(station::AcceptedLaps().size(), 2u);

  const struct {
    const char* type;
    const char* match;
  } kRemote[] = {
      {"6969", ""},                    // NFS: the whole folder
      {"517b", "btconfig.ini"},        // SMB: the counter alone (a link into a share)
      {"ff534d42", "btconfig.ini"},    // CIFS
      {"fe534d42", "production.db"},   // SMB2: the record alone
  };
  for (const auto& c : kRemote) {
    std::string log = Press(c.type, c.match);
    EXPECT_NE(log.find(kNetworkFolder), std::string::npos) << c.type << ": " << log;
    EXPECT_EQ(log.find(kWriteOk), std::string::npos) << c.type << ": " << log;
  }
  EXPECT_EQ(station::AcceptedLaps().size(), 2u);
  EXPECT_EQ(platform::ReadProfileString("address", "LAP", 32, "btconfig.ini"), "00a201");
}

}  // namespace
#endif

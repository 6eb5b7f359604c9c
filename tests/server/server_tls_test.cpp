// The ledger's server over TLS: the server's certificate is checked against
// the CA the url names, and one that does not verify refuses the press with
// a message of its own, not the network's.
#include <cstdio>

#include "app/main_dialog.h"
#include "ledger/server/server_ledger.h"
#include "res/resource_ids.h"
#include "tests/server/server_fixture.h"
#include "tests/support/memory_window.h"

namespace {

using pgtest::PgCluster;

class ServerTls : public pgtest::ServerTest {
 protected:
  std::string TcpUrl(const std::string& host, const std::string& sslmode, const std::string& ca) {
    return PgCluster::Get().TlsUrl(database, host, sslmode, ca);
  }
};

TEST_F(ServerTls, OnlyACertificateFromTheNamedCaForTheHostNamedIsTaken) {
  AddRange(0x100000, 0x10ffff);
  const pgtest::Certificates& tls = PgCluster::Get().certificates();
  struct {
    std::string url;
    ledger::Refusal refusal;
  } const kCases[] = {
      {TcpUrl("localhost", "verify-full", tls.ca), ledger::Refusal::None},
      {TcpUrl("localhost", "verify-full", tls.otherCa), ledger::Refusal::ServerCertificate},
      // The certificate is for localhost, not for the address.
      {TcpUrl("127.0.0.1", "verify-full", tls.ca), ledger::Refusal::ServerCertificate},
      {TcpUrl("127.0.0.1", "verify-ca", tls.ca), ledger::Refusal::None},
      {TcpUrl("localhost", "verify-full", folder.path() + "/no-such-ca.crt"), ledger::Refusal::ServerCertificate},
      // Unencrypted, to a database the server takes only with TLS: the server's own refusal.
      {PgCluster::Get().TlsUrl(pgtest::kTlsOnlyDatabase, "127.0.0.1", "disable", ""), ledger::Refusal::ServerRoleRefused},
  };
  int station = 0;
  for (const auto& c : kCases) {
    const std::string name = "s" + std::to_string(++station);
    std::filesystem::create_directory(name);
    ledger::server::ServerLedger ledger(name + "/btconfig.ini", {c.url, name}, name + "/ledger_outbox.db");
    EXPECT_EQ(ledger.Next().refusal, c.refusal) << c.url;
  }
  ledger::server::PgSession plain(PgCluster::Get().TlsUrl(pgtest::kTlsOnlyDatabase, "127.0.0.1", "disable", ""));
  EXPECT_FALSE(plain.Connect());
  EXPECT_NE(plain.error().find("no encryption"), std::string::npos) << plain.error();
}

TEST_F(ServerTls, AWrongCaRefusesThePressNamingTheServerAndTheCertificate) {
  AddRange(0x100000, 0x10ffff);
  const std::string mine = Station("s1");
  std::filesystem::copy_file(PgCluster::Get().certificates().otherCa, mine + "/line-ca.crt");
  std::filesystem::current_path(mine);
  // The CA named as a station names it: a file in the working folder.
  platform::WriteProfileString("ledger", "url", TcpUrl("localhost", "verify-full", "line-ca.crt"), "btconfig.ini");
  fakes::MemoryWindow window;
  dialog::Transports transports;
  app::MainDialog dialog(window, *libs.engine, *libs.flash, *libs.e2, transports);
  dialog.OnInitDialog();
  dialog.OnPaint();
  window.SetItemText(res::IDC_START_LAP, "100000");
  window.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
  dialog.OnCommand(res::IDC_SET_ADDR);
  const std::string server = "localhost:" + std::to_string(PgCluster::Get().Port());
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "地址服务器" + server +
                                                  "的证书验证失败(不是网络问题)! 地址未写入, "
                                                  "请检查服务器证书和btconfig.ini中的sslrootcert. ");
  EXPECT_TRUE(Accepted(mine).empty());

  // The right CA in its place: the same press writes the address.
  std::filesystem::remove("line-ca.crt");  // the Windows C++ library refuses to copy over a file
  std::filesystem::copy_file(PgCluster::Get().certificates().ca, "line-ca.crt");
  dialog.OnCommand(res::IDC_SET_ADDR);
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "写蓝牙地址成功! ");
  EXPECT_EQ(Accepted(mine), (std::vector<uint32_t>{0x100000}));
  EXPECT_EQ(Count("SELECT count(*) FROM operations WHERE state = 'written' AND lap = 1048576"), 1);
  std::filesystem::current_path(folder.path());
}

}  // namespace

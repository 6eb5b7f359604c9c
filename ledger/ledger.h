// The address ledger: hands out the next Bluetooth address so that it reaches
// at most one module whatever happens (a kill or power cut at any instant, a
// full disk, an unwritable btconfig.ini, two programs on one folder), and keeps
// the production record, one row per module operation.
//
// Every back end keeps these promises:
// - Reserve marks the address handed out, durably, before the module is touched.
// - An address marked pending, written or unknown is never handed out again:
//   Next moves the counter past it. A pending mark left by a program that died
//   becomes unknown when the next program opens the ledger, as does one whose
//   module could not say whether it took the address.
// - After a counter that could not be saved, Next refuses until it is saved.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ledger/operation_row.h"

namespace ledger {

struct BdAddress {
  uint32_t nap = 0;
  uint32_t uap = 0;
  uint32_t lap = 0;
  friend bool operator==(const BdAddress&, const BdAddress&) = default;
};

// "0002:5b:00a1ff"
std::string AddressText(const BdAddress& address);

enum class Refusal {
  None,
  NoStoredAddress,  // NAP, UAP or LAP missing from btconfig.ini
  NotHex,           // a stored key is not plain hexadecimal of its width
  UsedUp,           // LAP past ffffff
  Reserved,         // LAP inside 9e8b00-9e8b3f
  Held,             // another station program holds btconfig.ini
  CounterNotSaved,  // btconfig.ini could not be written
  RecordFailed,     // production.db could not be written
  LockDenied,       // btconfig.ini.lock cannot be opened for lack of permission
  LockUnopenable,   // btconfig.ini.lock cannot be opened or created otherwise
  LinkedCounter,    // btconfig.ini has more than one hard link
  NetworkFolder,    // btconfig.ini or production.db on a network file system
  // A ledger on the line's server:
  ServerUnreachable,  // the server could not be reached; ServerName() names it
  ServerCertificate,  // the server's TLS certificate did not verify (CA, host name, dates)
  ServerRefused,      // the server answered with an error (no tables, no rights)
  ServerConnectTimeout,    // the server did not let the station in within the bound
  ServerStatementTimeout,  // a statement got no answer within the bound
  ServerLockTimeout,       // the draw lock stayed taken by another station past the bound
  ServerPasswordRefused,   // no password for the url's role in .pgpass, or the server refused it
  ServerRoleRefused,       // the server does not let the url's role log in
  ServerNoDatabase,        // the url's database is not on the server
  ServerRangeUsedUp,  // no range on the server has an address left
  BadServerUrl,       // [ledger] url is no postgresql:// url, or holds a password
  NoServerLedger,     // [ledger] url in a build without the server back end
};

struct NextAddress {
  Refusal refusal = Refusal::None;
  // The stored texts (or, after moving past handed-out addresses, the new
  // LAP's text) as the current row shows them.
  std::string napText, uapText, lapText;
  BdAddress address;
  std::string badKey;  // with NotHex: "NAP", "UAP" or "LAP"
};

struct CounterAfterWrite {
  bool saved = false;
  // The next row's NAP and UAP when they are not the current row's (a shared range).
  std::string nextNapText, nextUapText;
  uint32_t nextLap = 0;     // may be past ffffff: the range is then used up
  std::string nextLapText;  // "%06x"
  std::string totalText;    // the count of addresses written, as stored
  // ServerRangeUsedUp: the module took the last address the server had, no next one is shown.
  Refusal nextRefusal = Refusal::None;
};

// What the window shows at start when the counter is not btconfig.ini's own.
struct ShownCounter {
  std::string napText, uapText, lapText;  // the start row
  std::string totalText;                  // this station's count
};

class Ledger {
 public:
  virtual ~Ledger() = default;

  // The address the next module gets, checked; moves the counter past any
  // address already handed out. Writes nothing to a module.
  virtual NextAddress Next() = 0;
  // Marks `*address` handed out to the module of `row` (an address write),
  // durably; sets row->id. Refusal::None when the module may be written. A
  // range shared with other stations may give another address than Next
  // said: `*address` is then the one drawn.
  virtual Refusal Reserve(BdAddress* address, OperationRow* row) = 0;
  // The module answered: the mark becomes written (and the counter moves on
  // with the count, in one write) or failed (the address may be given again).
  // The mark reaches the store with the row's result, in Record.
  virtual CounterAfterWrite Written(OperationRow* row, const BdAddress& address) = 0;
  virtual void Failed(OperationRow* row) = 0;
  // The module may or may not hold the address (no answer, and none on the
  // read-back; or it does not hold it after a write it confirmed): the mark
  // becomes unknown, the address is never given again, the count stays.
  virtual void Unknown(OperationRow* row) = 0;
  // The count back to 0: None, CounterNotSaved, or Held when another program holds the file.
  virtual Refusal ClearCount() = 0;

  // Adds the row to the record, or completes the reserved one (same id).
  // Never reports: the record adds nothing to what the operator sees.
  virtual void Record(const OperationRow& row) = 0;

  // "host:port" of the server that keeps the ledger; empty for a local one.
  virtual std::string ServerName() const { return std::string(); }
  // The start row and count at start, when they are not btconfig.ini's.
  virtual std::optional<ShownCounter> SharedCounter() { return std::nullopt; }
};

}  // namespace ledger

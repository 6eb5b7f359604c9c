#include "ledger/embedded/embedded_ledger.h"

#include <cstdio>
#include <vector>

#include "ledger/address_range.h"
#include "ledger/embedded/record_db.h"
#include "platform/file_place.h"
#include "platform/gbk.h"
#include "platform/host_name.h"
#include "platform/number_text.h"
#include "platform/profile_file.h"

namespace ledger {
namespace {

constexpr const char* kSum = "SUM";
constexpr const char* kTotal = "total";
constexpr const char* kAddress = "address";

std::string Hex6(uint32_t lap) {
  char text[16];
  snprintf(text, sizeof text, "%06x", lap);
  return text;
}

// Plain hexadecimal of at most `width` digits.
bool PlainHex(std::string_view text, size_t width) {
  if (text.empty() || text.size() > width) return false;
  for (char c : text) {
    bool digit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!digit) return false;
  }
  return true;
}

}  // namespace

std::string AddressText(const BdAddress& address) {
  char text[32];
  snprintf(text, sizeof text, "%04x:%02x:%06x", address.nap, address.uap, address.lap);
  return text;
}

EmbeddedLedger::EmbeddedLedger(std::string settingsFile)
    : settingsFile_(std::move(settingsFile)), files_(CounterFilesFor(settingsFile_)), station_(platform::HostName()) {
  // SQLite's locks and its write-ahead log's shared memory do not reach across
  // machines: a record there is not even opened.
  remote_ = platform::OnNetworkFileSystem(files_.counter) || platform::OnNetworkFileSystem(files_.record);
  if (remote_) return;
  db_ = OpenRecord(files_.record, true);
  if (MayUseCounter() == Refusal::None) Next();  // moves the counter past what a dead program left
}

EmbeddedLedger::~EmbeddedLedger() { sqlite3_close(db_); }

Refusal EmbeddedLedger::MayUseCounter() {
  if (remote_) return Refusal::NetworkFolder;
  // A hard link cannot be followed to the other folder's lock and marks, and
  // the first save (a rename) would split it into two counters at one LAP.
  if (platform::HardLinkCount(files_.counter) > 1) return Refusal::LinkedCounter;
  if (HoldsCounter()) return Refusal::None;
  switch (lockFailure_) {
    case platform::LockFailure::Denied:
      return Refusal::LockDenied;
    case platform::LockFailure::Unopenable:
      return Refusal::LockUnopenable;
    default:
      return Refusal::Held;
  }
}

bool EmbeddedLedger::HoldsCounter() {
  if (lock_) return true;
  // The lock sits beside the file the counter really is in, so two folders
  // linked to one btconfig.ini are two programs on one counter.
  lock_ = platform::TryLockFile(files_.lock, &lockFailure_);
  if (lock_) SettleAbandoned();
  return lock_ != nullptr;
}

void EmbeddedLedger::SettleAbandoned() {
  if (db_ == nullptr) return;
  Lazy(false);
  Execute(db_, "UPDATE operations SET state = 'unknown' WHERE state = 'pending'");
}

uint32_t EmbeddedLedger::StoredCount() const {
  return static_cast<uint32_t>(platform::ParseDecimal(platform::ReadProfileString(kSum, kTotal, 64, settingsFile_)));
}

void EmbeddedLedger::Lazy(bool lazy) {
  Execute(db_, lazy ? "PRAGMA synchronous=NORMAL" : "PRAGMA synchronous=FULL");
}

NextAddress EmbeddedLedger::Next() {
  NextAddress next;
  next.refusal = MayUseCounter();
  if (next.refusal != Refusal::None) return next;
  next.napText = platform::ReadProfileString(kAddress, "NAP", 16, settingsFile_);
  next.uapText = platform::ReadProfileString(kAddress, "UAP", 16, settingsFile_);
  next.lapText = platform::ReadProfileString(kAddress, "LAP", 32, settingsFile_);
  if (next.napText.empty() || next.uapText.empty() || next.lapText.empty()) {
    next.refusal = Refusal::NoStoredAddress;
    return next;
  }
  // A typo such as 00a1fg would parse to some number, and the counter would
  // later hand that number out again. A LAP of any length is checked against
  // the range below, so that a counter past ffffff says the range is used up.
  const struct {
    const char* key;
    const std::string& text;
    size_t width;
  } kKeys[] = {{"NAP", next.napText, 4}, {"UAP", next.uapText, 2}, {"LAP", next.lapText, 32}};
  for (const auto& key : kKeys) {
    if (!PlainHex(key.text, key.width)) {
      next.refusal = Refusal::NotHex;
      next.badKey = key.key;
      return next;
    }
  }
  next.address = {platform::ParseHex(next.napText), platform::ParseHex(next.uapText),
                  platform::ParseHex(next.lapText)};
  switch (CheckStoredLap(next.lapText, next.address.lap)) {
    case LapCheck::UsedUp:
      next.refusal = Refusal::UsedUp;
      return next;
    case LapCheck::Reserved:
      next.refusal = Refusal::Reserved;
      return next;
    case LapCheck::Ok:
      break;
  }
  if (db_ == nullptr) {
    next.refusal = Refusal::RecordFailed;
    return next;
  }

  // Addresses at and after the stored one that a module may already carry,
  // each once however many rows hold it (a restored record, the index gone).
  Statement taken(db_,
                  "SELECT lap, max(state = 'written') FROM operations WHERE nap = ?1 AND uap = ?2 AND lap >= ?3 "
                  "AND state IN ('pending', 'written', 'unknown') GROUP BY lap ORDER BY lap");
  taken.Bind(1, int64_t{next.address.nap}).Bind(2, int64_t{next.address.uap}).Bind(3, int64_t{next.address.lap});
  uint32_t lap = next.address.lap;
  int64_t uncounted = 0;
  int step;
  while ((step = taken.Step()) == SQLITE_ROW) {
    if (taken.Int(0) != lap) break;
    // A written mark whose counter save was lost still counts as a module addressed.
    if (taken.Int(1) != 0) ++uncounted;
    lap = NextLap(lap);
  }
  if (step != SQLITE_ROW && step != SQLITE_DONE) {
    next.refusal = Refusal::RecordFailed;
    return next;
  }
  if (lap == next.address.lap) return next;

  std::string lapText = Hex6(lap);
  std::string total = std::to_string(StoredCount() + static_cast<uint32_t>(uncounted));
  const platform::ProfileEntry entries[] = {{kAddress, "LAP", lapText}, {kSum, kTotal, total}};
  next.lapText = lapText;
  next.address.lap = lap;
  if (!platform::WriteProfileStrings(entries, settingsFile_, platform::RenameSync::Now)) {
    next.refusal = Refusal::CounterNotSaved;
  } else if (lap > kLastLap) {
    next.refusal = Refusal::UsedUp;
  }
  return next;
}

Refusal EmbeddedLedger::Reserve(BdAddress* drawn, OperationRow* row) {
  const BdAddress& address = *drawn;
  if (Refusal refusal = MayUseCounter(); refusal != Refusal::None) return refusal;
  if (db_ == nullptr) return Refusal::RecordFailed;
  if (row->startedAt.empty()) row->startedAt = platform::LocalTimeText();
  // The one write that must be on the disk before the module is touched.
  Lazy(false);
  Statement insert(db_,
                   "INSERT INTO operations (time, station, transport, slot, operation, nap, uap, lap, state) "
                   "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, 'pending')");
  insert.Bind(1, row->startedAt)
      .Bind(2, station_)
      .Bind(3, platform::GbkToUtf8(row->transport))
      .Bind(4, int64_t{row->slot})
      .Bind(5, row->operation)
      .Bind(6, int64_t{address.nap})
      .Bind(7, int64_t{address.uap})
      .Bind(8, int64_t{address.lap});
  if (insert.Step() != SQLITE_DONE) return Refusal::RecordFailed;
  row->id = sqlite3_last_insert_rowid(db_);
  row->address = AddressText(address);
  return Refusal::None;
}

CounterAfterWrite EmbeddedLedger::Written(OperationRow* row, const BdAddress& address) {
  // Stored with the result when the operation ends: one commit instead of two,
  // and a mark lost in between only leaves the address unknown.
  row->state = "written";
  CounterAfterWrite after;
  after.nextLap = NextLap(address.lap);
  after.nextLapText = Hex6(after.nextLap);
  after.totalText = std::to_string(StoredCount() + 1);
  // LAP and count move together, in one replacement of the file. Its rename
  // may reach the disk lazily: the written mark keeps the address from being
  // given again if a power cut brings the old counter back.
  const platform::ProfileEntry entries[] = {{kAddress, "LAP", after.nextLapText}, {kSum, kTotal, after.totalText}};
  after.saved = platform::WriteProfileStrings(entries, settingsFile_, platform::RenameSync::Later);
  return after;
}

void EmbeddedLedger::Failed(OperationRow* row) { row->state = "failed"; }

// The counter stays: the next Next moves past the unknown mark, as past a dead program's.
void EmbeddedLedger::Unknown(OperationRow* row) { row->state = "unknown"; }

Refusal EmbeddedLedger::ClearCount() {
  if (Refusal refusal = MayUseCounter(); refusal != Refusal::None) return refusal;
  return platform::WriteProfileString(kSum, kTotal, "0", settingsFile_) ? Refusal::None : Refusal::CounterNotSaved;
}

void EmbeddedLedger::Record(const OperationRow& row) {
  if (db_ == nullptr) return;
  Lazy(true);
  if (row.id != 0) {
    Statement update(db_,
                     "UPDATE operations SET result = ?1, duration_ms = ?2, state = coalesce(?3, state) WHERE id = ?4");
    update.Bind(1, platform::GbkToUtf8(row.result)).Bind(2, row.durationMs).Bind(3, row.state, true).Bind(4, row.id);
    update.Step();
    return;
  }
  Statement insert(db_,
                   "INSERT INTO operations (time, station, transport, slot, operation, result, nap, uap, lap, name, "
                   "firmware_path, firmware_size, firmware_sha256, duration_ms) "
                   "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
  insert.Bind(1, row.startedAt.empty() ? platform::LocalTimeText() : row.startedAt)
      .Bind(2, station_)
      .Bind(3, platform::GbkToUtf8(row.transport))
      .Bind(4, int64_t{row.slot})
      .Bind(5, row.operation)
      .Bind(6, platform::GbkToUtf8(row.result));
  unsigned nap = 0, uap = 0, lap = 0;
  if (sscanf(row.address.c_str(), "%x:%x:%x", &nap, &uap, &lap) == 3) {
    insert.Bind(7, int64_t{nap}).Bind(8, int64_t{uap}).Bind(9, int64_t{lap});
  } else {
    insert.BindNull(7).BindNull(8).BindNull(9);
  }
  insert.Bind(10, platform::GbkToUtf8(row.name), true).Bind(11, platform::GbkToUtf8(row.firmwarePath), true);
  if (row.firmwareSize >= 0) {
    insert.Bind(12, row.firmwareSize);
  } else {
    insert.BindNull(12);
  }
  insert.Bind(13, row.firmwareSha256, true).Bind(14, row.durationMs);
  insert.Step();
}

}  // namespace ledger

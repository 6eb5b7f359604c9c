#include "ledger/server/server_ledger.h"

#include <cstdio>
#include <cstdlib>
#include <random>

#include "ledger/server/server_schema.h"
#include "platform/gbk.h"
#include "platform/host_name.h"
#include "platform/file_system.h"
#include "platform/profile_file.h"

namespace ledger::server {
namespace {

std::string Hex(const char* format, int64_t value) {
  char text[16];
  snprintf(text, sizeof text, format, static_cast<unsigned>(value));
  return text;
}

int64_t Number(PGresult* result, int row, int column) {
  return PQgetisnull(result, row, column) ? 0 : std::strtoll(PQgetvalue(result, row, column), nullptr, 10);
}

std::optional<std::string> Text(const std::optional<int64_t>& number) {
  if (!number) return std::nullopt;
  return std::to_string(*number);
}

// A failed address first, so that the range keeps no hole; then the first range not used up.
constexpr const char* kCandidate =
    "SELECT c.nap, c.uap, c.lap FROM (SELECT 1) one LEFT JOIN LATERAL ("
    "  (SELECT 0 AS k, id AS o, nap, uap, lap FROM operations WHERE state = 'failed' AND NOT reissued "
    "   ORDER BY id LIMIT 1)"
    "  UNION ALL"
    "  (SELECT 1, id, nap, uap, next_lap FROM address_ranges WHERE next_lap <= last_lap ORDER BY id LIMIT 1)"
    "  ORDER BY k, o LIMIT 1) c ON true";

// A confirmation counts the module for its station once, however often it is delivered.
constexpr const char* kConfirm =
    "WITH old AS (SELECT state FROM operations WHERE id = $1), "
    "changed AS (UPDATE operations SET result = $2, duration_ms = $3, state = coalesce($4, state) "
    "            WHERE id = $1 RETURNING state) "
    "INSERT INTO station_counts (station, total) SELECT $5, 1 FROM old, changed "
    "  WHERE changed.state = 'written' AND old.state IS DISTINCT FROM 'written' "
    "ON CONFLICT (station) DO UPDATE SET total = station_counts.total + 1";

constexpr const char* kInsert =
    "INSERT INTO operations (time, station, transport, slot, operation, result, nap, uap, lap, name, "
    "firmware_path, firmware_size, firmware_sha256, duration_ms, state, origin) "
    "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16) "
    "ON CONFLICT (origin) DO NOTHING";

}  // namespace

ServerLedger::ServerLedger(std::string settingsFile, LedgerSettings settings, std::string outboxFile)
    : settingsFile_(std::move(settingsFile)),
      settings_(std::move(settings)),
      station_(platform::GbkToUtf8(settings_.station)),
      url_(ParseServerUrl(settings_.url)),
      session_(settings_.url, Waiter::Station),
      outbox_(std::move(outboxFile)) {
  std::random_device random;
  originPrefix_ = Hex("%08x", random()) + Hex("%08x", random());
  pressDeadline_ = MonotonicMs() + kPressBoundMs;
  session_.SetDeadline(pressDeadline_);
  Ready();
}

Refusal ServerLedger::Failure() const {
  switch (session_.fault()) {
    case Fault::ConnectTimeout:
      return Refusal::ServerConnectTimeout;
    case Fault::StatementTimeout:
      return Refusal::ServerStatementTimeout;
    case Fault::LockTimeout:
      return Refusal::ServerLockTimeout;
    case Fault::PasswordRefused:
      return Refusal::ServerPasswordRefused;
    case Fault::RoleRefused:
      return Refusal::ServerRoleRefused;
    case Fault::NoDatabase:
      return Refusal::ServerNoDatabase;
    case Fault::Certificate:
      return Refusal::ServerCertificate;
    case Fault::None:
    case Fault::Unreachable:
    case Fault::Content:
    case Fault::Refused:
      break;
  }
  return session_.Up() ? Refusal::ServerRefused : Refusal::ServerUnreachable;
}

void ServerLedger::KeepHeld() {
  while (lock_ && !held_.empty() && outbox_.Keep(held_.front())) held_.pop_front();
}

Refusal ServerLedger::Ready() {
  // A password belongs in ~/.pgpass, never in a file copied from PC to PC.
  if (!url_.valid || url_.hasPassword) return Refusal::BadServerUrl;
  if (!lock_) {
    platform::LockFailure why = platform::LockFailure::None;
    lock_ = platform::TryLockFile(platform::FollowLinks(platform::GbkToUtf8(settingsFile_)) + ".lock", &why);
    // Another user's lock file is no second program: say which it is.
    if (!lock_) {
      return why == platform::LockFailure::Denied       ? Refusal::LockDenied
             : why == platform::LockFailure::Unopenable ? Refusal::LockUnopenable
                                                        : Refusal::Held;
    }
  }
  bool fresh = false;
  if (!session_.Connect(&fresh)) return Failure();
  // A pending mark is settled only with no draw of ours in flight: on a new
  // connection, before the next draw, after what was kept here has gone.
  if (fresh) settled_ = false;
  KeepHeld();
  if (!outbox_.Deliver([this](const ServerRow& row) { return Deliver(row); }, [this] { return session_.error(); })) {
    return Failure();
  }
  // What the disk would not keep goes straight to the server, in order.
  while (!held_.empty()) {
    Delivery delivered = Deliver(held_.front());
    if (delivered == Delivery::NotNow) return Failure();
    if (delivered == Delivery::Refused) outbox_.SetAside(held_.front(), session_.error());
    held_.pop_front();
  }
  if (!settled_) {
    if (!session_.Run("UPDATE operations SET state = 'unknown' WHERE station = $1 AND state = 'pending'",
                      {station_})) {
      return Failure();
    }
    settled_ = true;
  }
  return Refusal::None;
}

bool ServerLedger::Candidate(NextAddress* next) {
  Result candidate = session_.Run(kCandidate);
  if (!candidate) return false;
  next->napText.clear();
  next->uapText.clear();
  next->lapText.clear();
  next->address = {};
  if (PQntuples(candidate.get()) != 1 || PQgetisnull(candidate.get(), 0, 0)) return true;
  next->address = {static_cast<uint32_t>(Number(candidate.get(), 0, 0)),
                   static_cast<uint32_t>(Number(candidate.get(), 0, 1)),
                   static_cast<uint32_t>(Number(candidate.get(), 0, 2))};
  next->napText = Hex("%04x", next->address.nap);
  next->uapText = Hex("%02x", next->address.uap);
  next->lapText = Hex("%06x", next->address.lap);
  return true;
}

NextAddress ServerLedger::Next() {
  // A press starts here: its draw, in Reserve, shares this bound.
  pressDeadline_ = MonotonicMs() + kPressBoundMs;
  session_.SetDeadline(pressDeadline_);
  NextAddress next;
  next.refusal = Ready();
  if (next.refusal != Refusal::None) return next;
  Result count = session_.Run("SELECT total FROM station_counts WHERE station = $1", {station_});
  if (!count || !Candidate(&next)) {
    next.refusal = Failure();
    return next;
  }
  count_ = PQntuples(count.get()) == 1 ? Number(count.get(), 0, 0) : 0;
  if (next.napText.empty()) next.refusal = Refusal::ServerRangeUsedUp;
  return next;
}

Refusal ServerLedger::Reserve(BdAddress* address, OperationRow* row) {
  // Without a Next just before (the press's bound spent), a bound of its own.
  if (MonotonicMs() >= pressDeadline_) pressDeadline_ = MonotonicMs() + kPressBoundMs;
  session_.SetDeadline(pressDeadline_);
  Refusal ready = Ready();
  if (ready != Refusal::None) return ready;
  if (row->startedAt.empty()) row->startedAt = platform::LocalTimeText();
  if (!session_.Execute("BEGIN")) return Failure();
  Refusal refusal = Draw(address, row);
  if (refusal != Refusal::None) {
    session_.Execute("ROLLBACK");
    return refusal;
  }
  // A commit whose answer was lost may have marked the address: the mark then
  // stays pending until settled, and no module gets the address.
  if (!session_.Execute("COMMIT")) return Failure();
  row->address = AddressText(*address);
  return Refusal::None;
}

// The draw is several statements in one transaction (the failed address
// first, stepping over addresses already taken, the mark), so a station that
// vanishes in the middle of it can leave its transaction open: the server
// ends such a session after kIdleInTransactionTimeoutMs, and with it the lock.
// One statement could not be left half done, but would have to be a function
// installed on the server, which every station's program would then depend on.
Refusal ServerLedger::Draw(BdAddress* address, OperationRow* row) {
  if (!session_.Execute(kDrawLock)) return Failure();
  // An address a module already carries (a range laid over addresses given
  // before the server kept them) is stepped over, a bounded number of times.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    Result again = session_.Run(
        "UPDATE operations SET reissued = true WHERE id = (SELECT id FROM operations WHERE state = 'failed' AND "
        "NOT reissued ORDER BY id LIMIT 1) RETURNING nap, uap, lap");
    if (!again) return Failure();
    Result drawn = std::move(again);
    if (PQntuples(drawn.get()) == 0) {
      drawn = session_.Run(
          "UPDATE address_ranges SET next_lap = next_lap + 1 WHERE id = (SELECT id FROM address_ranges "
          "WHERE next_lap <= last_lap ORDER BY id LIMIT 1) RETURNING nap, uap, next_lap - 1");
      if (!drawn) return Failure();
      if (PQntuples(drawn.get()) == 0) return Refusal::ServerRangeUsedUp;
    }
    *address = {static_cast<uint32_t>(Number(drawn.get(), 0, 0)), static_cast<uint32_t>(Number(drawn.get(), 0, 1)),
                static_cast<uint32_t>(Number(drawn.get(), 0, 2))};
    Result mark = session_.Run(
        "INSERT INTO operations (time, station, transport, slot, operation, nap, uap, lap, state) "
        "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, 'pending') "
        "ON CONFLICT (nap, uap, lap) WHERE state IN ('pending', 'written', 'unknown') DO NOTHING RETURNING id",
        {row->startedAt, station_, platform::GbkToUtf8(row->transport), std::to_string(row->slot),
         row->operation, std::to_string(address->nap), std::to_string(address->uap), std::to_string(address->lap)});
    if (!mark) return Failure();
    if (PQntuples(mark.get()) == 1) {
      row->id = Number(mark.get(), 0, 0);
      return Candidate(&afterDraw_) ? Refusal::None : Failure();
    }
  }
  return Refusal::ServerRefused;
}

CounterAfterWrite ServerLedger::Written(OperationRow* row, const BdAddress&) {
  row->state = "written";
  CounterAfterWrite after;
  // The count and the mark reach the server together, with the row's result;
  // kept here if they cannot, so nothing more can fail now.
  after.saved = true;
  after.nextNapText = afterDraw_.napText;
  after.nextUapText = afterDraw_.uapText;
  after.nextLap = afterDraw_.address.lap;
  after.nextLapText = afterDraw_.lapText;
  after.totalText = std::to_string(++count_);
  if (afterDraw_.napText.empty()) after.nextRefusal = Refusal::ServerRangeUsedUp;
  return after;
}

void ServerLedger::Failed(OperationRow* row) { row->state = "failed"; }

// The range has moved past it already; unlike a failed address it is never reissued.
void ServerLedger::Unknown(OperationRow* row) { row->state = "unknown"; }

Refusal ServerLedger::ClearCount() {
  session_.SetDeadline(MonotonicMs() + kPressBoundMs);
  Refusal ready = Ready();
  if (ready != Refusal::None) return ready;
  if (!session_.Run("INSERT INTO station_counts (station, total) VALUES ($1, 0) "
                    "ON CONFLICT (station) DO UPDATE SET total = 0",
                    {station_})) {
    return Failure();
  }
  count_ = 0;
  return Refusal::None;
}

Delivery ServerLedger::Deliver(const ServerRow& row) {
  bool taken = false;
  if (row.id != 0) {
    taken = session_.Run(kConfirm, {std::to_string(row.id), row.result, std::to_string(row.durationMs), row.state,
                                    station_}) != nullptr;
  } else {
    taken = session_.Run(kInsert, {row.time, station_, row.transport, std::to_string(row.slot), row.operation,
                                   row.result, Text(row.nap), Text(row.uap), Text(row.lap), row.name, row.firmwarePath,
                                   Text(row.firmwareSize), row.firmwareSha256, std::to_string(row.durationMs),
                                   row.state, row.origin}) != nullptr;
  }
  if (taken) return Delivery::Taken;
  if (session_.fault() != Fault::Content) return Delivery::NotNow;
  // A confirmation the server will never take: whether the module holds the
  // address is then known only here, so on the server it is unknown, as
  // after a crash, and never given again.
  if (row.id != 0 && !session_.Run("UPDATE operations SET state = 'unknown' WHERE id = $1 AND state = 'pending'",
                                   {std::to_string(row.id)})) {
    return Delivery::NotNow;
  }
  return Delivery::Refused;
}

void ServerLedger::Record(const OperationRow& row) {
  ServerRow serverRow = ToServerRow(row);
  // Named before the first try: a commit whose answer was lost is delivered again.
  if (serverRow.id == 0) serverRow.origin = station_ + ":" + originPrefix_ + ":" + std::to_string(++origins_);
  session_.SetDeadline(MonotonicMs() + kRecordBoundMs);
  if (!lock_) {
    // Another program holds this folder, and its outbox: our rows go to the
    // server directly, or wait here. One the server refuses for its content
    // has nowhere to be set aside, and goes.
    held_.push_back(std::move(serverRow));
    if (!session_.Up() && !session_.Connect()) return;
    while (!held_.empty() && Deliver(held_.front()) != Delivery::NotNow) held_.pop_front();
    constexpr size_t kMostHeld = 10000;
    while (held_.size() > kMostHeld) held_.pop_front();
    return;
  }
  // In order: what waits goes first. No new connection here, so that burns
  // go on at full speed while the server is away; the next draw connects.
  KeepHeld();
  if (session_.Up() && held_.empty() &&
      outbox_.Deliver([this](const ServerRow& kept) { return Deliver(kept); }, [this] { return session_.error(); })) {
    Delivery delivered = Deliver(serverRow);
    if (delivered == Delivery::Taken) return;
    if (delivered == Delivery::Refused && outbox_.SetAside(serverRow, session_.error())) return;
  }
  held_.push_back(std::move(serverRow));
  KeepHeld();
}

std::optional<ShownCounter> ServerLedger::SharedCounter() {
  NextAddress next = Next();
  ShownCounter shown;
  if (next.refusal == Refusal::None) {
    shown = {next.napText, next.uapText, next.lapText, std::to_string(count_)};
  } else {
    // Only an aid to the operator: what the station's own file holds, and no count.
    shown.napText = platform::ReadProfileString("address", "NAP", 16, settingsFile_);
    shown.uapText = platform::ReadProfileString("address", "UAP", 16, settingsFile_);
    shown.lapText = platform::ReadProfileString("address", "LAP", 128, settingsFile_);
  }
  return shown;
}

}  // namespace ledger::server

// The ledger of a line: one address range on a PostgreSQL server, drawn from
// by several stations, and the record of all of them in one place.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "ledger/ledger.h"
#include "ledger/ledger_settings.h"
#include "ledger/server/outbox.h"
#include "ledger/server/pg_session.h"
#include "platform/file_lock.h"

namespace ledger::server {

class ServerLedger : public Ledger {
 public:
  // `settingsFile` is the GBK path of btconfig.ini, whose lock keeps a second
  // program off this station's folder; `outboxFile` the native path of the
  // rows the server has yet to take. Connects at once when it can, delivers
  // what waits and settles what a dead run of this station left pending.
  ServerLedger(std::string settingsFile, LedgerSettings settings, std::string outboxFile);

  NextAddress Next() override;
  Refusal Reserve(BdAddress* address, OperationRow* row) override;
  CounterAfterWrite Written(OperationRow* row, const BdAddress& address) override;
  void Failed(OperationRow* row) override;
  Refusal ClearCount() override;
  void Record(const OperationRow& row) override;
  std::string ServerName() const override { return url_.server; }
  std::optional<ShownCounter> SharedCounter() override;

 private:
  // Connected, with every row kept here delivered and this station's
  // abandoned pending marks turned unknown; or why not.
  Refusal Ready();
  // Why the last statement failed: the server gone, a wait that ran out, the
  // server refusing our log-in, or the server saying no.
  Refusal Failure() const;
  Delivery Deliver(const ServerRow& row);
  // Rows that could not even be kept on disk, and the rows of a program
  // without btconfig.ini's lock, which may not use the folder's outbox: kept
  // in memory, to the outbox or the server at the next chance.
  void KeepHeld();
  Refusal Draw(BdAddress* address, OperationRow* row);
  // The address the next draw would give, into `*next`; false when the
  // server could not say. No address: napText empty.
  bool Candidate(NextAddress* next);

  std::string settingsFile_;
  LedgerSettings settings_;
  std::string station_;  // the station's name as the server holds it: UTF-8
  ServerUrl url_;
  PgSession session_;
  Outbox outbox_;
  std::unique_ptr<platform::FileLock> lock_;
  bool settled_ = false;
  int64_t count_ = 0;          // this station's count, as the server had it at the last Next
  NextAddress afterDraw_;      // the address after the last one drawn
  int64_t pressDeadline_ = 0;  // when the server's part of this press must be over
  std::deque<ServerRow> held_;
  std::string originPrefix_;   // random, one per run: with the station and a number, names each new row
  int64_t origins_ = 0;
};

}  // namespace ledger::server

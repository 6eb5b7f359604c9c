// The single-station ledger: the counter in btconfig.ini, as the line has
// always kept it, and the marks and the record in production.db beside the
// file the counter really is in (see counter_files.h).
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>

#include "ledger/embedded/counter_files.h"
#include "ledger/ledger.h"
#include "platform/file_lock.h"

namespace ledger {

class EmbeddedLedger : public Ledger {
 public:
  // `settingsFile` is the GBK path of btconfig.ini. Takes the station lock if
  // it is free, settles what a dead program left pending and moves the counter
  // past it. Files on a network file system are never opened.
  explicit EmbeddedLedger(std::string settingsFile);
  ~EmbeddedLedger() override;
  EmbeddedLedger(const EmbeddedLedger&) = delete;
  EmbeddedLedger& operator=(const EmbeddedLedger&) = delete;

  NextAddress Next() override;
  Refusal Reserve(BdAddress* address, OperationRow* row) override;
  CounterAfterWrite Written(OperationRow* row, const BdAddress& address) override;
  void Failed(OperationRow* row) override;
  void Unknown(OperationRow* row) override;
  Refusal ClearCount() override;
  void Record(const OperationRow& row) override;

 private:
  // None when this program may use the counter: its files on this machine,
  // btconfig.ini under one name only, and the lock held (tried again each time).
  Refusal MayUseCounter();
  // True when this program holds btconfig.ini; tries again when it does not.
  bool HoldsCounter();
  // Every pending mark is some dead program's once we hold the lock.
  void SettleAbandoned();
  // Writes that may reach the disk lazily: losing one only turns an address
  // into an unknown one, never a duplicate.
  void Lazy(bool lazy);
  // SUM/total as stored, read afresh.
  uint32_t StoredCount() const;

  std::string settingsFile_;
  CounterFiles files_;
  std::string station_;
  bool remote_ = false;  // btconfig.ini or production.db on another machine's file system
  std::unique_ptr<platform::FileLock> lock_;
  platform::LockFailure lockFailure_ = platform::LockFailure::None;
  sqlite3* db_ = nullptr;
};

}  // namespace ledger

// The single-station ledger: the counter in btconfig.ini, as the line has
// always kept it, and the marks and the record in production.db beside it.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>

#include "ledger/ledger.h"
#include "platform/file_lock.h"

namespace ledger {

class EmbeddedLedger : public Ledger {
 public:
  // `settingsFile` is the GBK path of btconfig.ini, `recordFile` the native
  // path of production.db. Takes the station lock if it is free, settles what
  // a dead program left pending and moves the counter past it.
  EmbeddedLedger(std::string settingsFile, std::string recordFile);
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
  std::string recordFile_;
  std::string station_;
  std::unique_ptr<platform::FileLock> lock_;
  sqlite3* db_ = nullptr;
};

}  // namespace ledger

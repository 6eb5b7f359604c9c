// The ledger of a build without the server back end, for a btconfig.ini that
// names a server: it writes no address, since drawing from the station's own
// counter would give out addresses the line's server also gives.
#pragma once

#include "ledger/ledger.h"

namespace ledger {

class NoServerLedger : public Ledger {
 public:
  NextAddress Next() override {
    NextAddress next;
    next.refusal = Refusal::NoServerLedger;
    return next;
  }
  Refusal Reserve(BdAddress*, OperationRow*) override { return Refusal::NoServerLedger; }
  CounterAfterWrite Written(OperationRow*, const BdAddress&) override { return {}; }
  void Failed(OperationRow*) override {}
  void Unknown(OperationRow*) override {}
  Refusal ClearCount() override { return Refusal::NoServerLedger; }
  void Record(const OperationRow&) override {}
};

}  // namespace ledger

#include "ledger/address_range.h"

namespace ledger {

LapCheck CheckStoredLap(std::string_view text, uint32_t lap) {
  size_t digits = text.find_first_of(" \n");
  if (digits == std::string_view::npos) digits = text.size();
  if (digits > 8 || lap > kLastLap) return LapCheck::UsedUp;
  if (lap >= kReservedLapFirst && lap <= kReservedLapLast) return LapCheck::Reserved;
  return LapCheck::Ok;
}

uint32_t NextLap(uint32_t lap) {
  uint32_t next = lap + 1;
  if (next >= kReservedLapFirst && next <= kReservedLapLast) next = kReservedLapLast + 1;
  return next;
}

}  // namespace ledger

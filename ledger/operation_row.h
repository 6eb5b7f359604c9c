// One module operation as the production record keeps it.
#pragma once

#include <cstdint>
#include <string>

namespace ledger {

// The operations the record knows, as stored.
inline constexpr const char* kAddressWrite = "address write";
inline constexpr const char* kAddressRead = "address read";
inline constexpr const char* kNameWrite = "name write";
inline constexpr const char* kBurn = "burn";
inline constexpr const char* kDump = "dump";
inline constexpr const char* kErase = "erase";
inline constexpr const char* kLoopback = "loopback";
inline constexpr const char* kCalibration = "calibration";
inline constexpr const char* kTxPower = "tx power";
inline constexpr const char* kPioTest = "pio test";
inline constexpr const char* kLock = "lock";

// Texts are GBK, as the program holds them; the store converts them.
struct OperationRow {
  int64_t id = 0;              // set once the row is in the store (address writes: at the reservation)
  std::string startedAt;       // local time, "YYYY-MM-DD HH:MM:SS"
  std::string operation;       // one of the names above
  std::string transport;       // the adapter's transport string; empty for the bench radios
  int slot = 0;                // device 1 or 2; 0 when no ticked device was used
  std::string result;          // the last text the operator was shown
  std::string address;         // "0002:5b:00a1ff", for address writes and reads
  std::string name;            // the Bluetooth name, for name writes
  std::string firmwarePath;    // for burns
  int64_t firmwareSize = -1;   // -1: no file, or it could not be read
  std::string firmwareSha256;  // lower-case hex
  int64_t durationMs = 0;
  std::string state;           // address writes: what Written or Failed found, stored with the result
};

}  // namespace ledger

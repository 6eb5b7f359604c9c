// The connections of this process to the station's radios. Handles are small
// numbers, the lowest free one first, from 1. A connection remembers only what
// a live radio test holds; the modules themselves stay in the station file.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim {

inline constexpr char kReferenceRadio[] = "reference";

struct Connection {
  std::string peer;  // a module id, or kReferenceRadio
  std::optional<uint16_t> transmitMhz;
  std::optional<uint16_t> testTrim;  // the trim the running radio test uses
  std::optional<uint16_t> receiveMhz;
};

class HandleTable {
 public:
  uint32_t Open(const std::string& peer);
  bool Close(uint32_t handle);
  Connection* Find(uint32_t handle);
  // The module connections whose carrier is on `mhz`.
  std::vector<const Connection*> TransmittingOn(uint16_t mhz) const;
  // Ends the radio tests of every connection to `peer`.
  void StopRadioTests(const std::string& peer);

 private:
  std::map<uint32_t, Connection> connections_;
};

}  // namespace sim

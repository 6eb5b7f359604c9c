#pragma once

#include <string>

namespace dialog {

// The texts that name the two programming adapters to the chip libraries, for
// example "SPITRANS=USB SPIPORT=0". They belong to the program, not the dialog,
// and hold the latest answer of the adapter enumeration.
struct Transports {
  std::string Device1Transport;
  std::string Device2Transport;
};

}  // namespace dialog

// A record row as it goes to the server: UTF-8, as the server stores it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ledger/operation_row.h"

namespace ledger::server {

struct ServerRow {
  int64_t id = 0;  // the server's id of a reserved address write; 0: a new row
  std::string time, transport, operation, result;
  int64_t slot = 0;
  std::optional<int64_t> nap, uap, lap;
  std::optional<std::string> name, firmwarePath, firmwareSha256, state;
  std::optional<int64_t> firmwareSize;
  int64_t durationMs = 0;
  std::optional<std::string> origin;  // a new row's own name: delivered again, it is not stored twice
};

ServerRow ToServerRow(const OperationRow& row);

}  // namespace ledger::server

#include "ledger/server/server_row.h"

#include <cstdio>

#include "platform/gbk.h"
#include "platform/host_name.h"

namespace ledger::server {
namespace {

std::optional<std::string> Unless(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace

ServerRow ToServerRow(const OperationRow& row) {
  ServerRow out;
  out.id = row.id;
  out.time = row.startedAt.empty() ? platform::LocalTimeText() : row.startedAt;
  out.transport = platform::GbkToUtf8(row.transport);
  out.operation = row.operation;
  out.result = platform::GbkToUtf8(row.result);
  out.slot = row.slot;
  unsigned nap = 0, uap = 0, lap = 0;
  if (sscanf(row.address.c_str(), "%x:%x:%x", &nap, &uap, &lap) == 3) {
    out.nap = nap;
    out.uap = uap;
    out.lap = lap;
  }
  out.name = Unless(platform::GbkToUtf8(row.name));
  out.firmwarePath = Unless(platform::GbkToUtf8(row.firmwarePath));
  if (row.firmwareSize >= 0) out.firmwareSize = row.firmwareSize;
  out.firmwareSha256 = Unless(row.firmwareSha256);
  out.state = Unless(row.state);
  out.durationMs = row.durationMs;
  return out;
}

}  // namespace ledger::server

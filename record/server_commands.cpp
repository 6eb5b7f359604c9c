#include "record/server_commands.h"

#include "record/command_line.h"

#ifdef TARNWICK_SERVER_LEDGER
#include "ledger/server/outbox.h"
#include "ledger/server/range_setup.h"
#include "ledger/server/server_record.h"
#endif

namespace record {
namespace {

constexpr const char* kNoServerLedger = "this build of tarnwick-record has no server ledger ([ledger] url in btconfig.ini)";

#ifdef TARNWICK_SERVER_LEDGER
// Plain hexadecimal of one to `width` digits.
bool ParseHex(const std::string& text, size_t width, uint32_t* value) {
  if (text.empty() || text.size() > width) return false;
  if (text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
  *value = static_cast<uint32_t>(std::stoul(text, nullptr, 16));
  return true;
}

bool Usable(const std::string& url, std::ostream& err) {
  ledger::server::ServerUrl parsed = ledger::server::ParseServerUrl(url);
  if (parsed.valid && !parsed.hasPassword) return true;
  err << "tarnwick-record: [ledger] url in btconfig.ini must read postgresql://user@host:port/dbname, "
         "the password only in ~/.pgpass\n";
  return false;
}
#endif

}  // namespace

#ifdef TARNWICK_SERVER_LEDGER

int AddRangeCommand(const std::string& url, const std::vector<std::string>& operands, std::ostream& out,
                    std::ostream& err) {
  using ledger::server::RangeAdded;
  uint32_t nap = 0, uap = 0, first = 0, last = 0;
  if (operands.size() != 4 || !ParseHex(operands[0], 4, &nap) || !ParseHex(operands[1], 2, &uap) ||
      !ParseHex(operands[2], 6, &first) || !ParseHex(operands[3], 6, &last)) {
    err << "tarnwick-record: range add needs NAP UAP FIRST_LAP LAST_LAP in hexadecimal "
           "(4, 2, 6 and 6 digits at most)\n";
    return kExitError;
  }
  if (!Usable(url, err)) return kExitError;
  ledger::server::PgSession session(url);
  ledger::server::RangeAddResult added = ledger::server::AddRange(session, nap, uap, first, last);
  switch (added.outcome) {
    case RangeAdded::Added:
      out << "range added: " << operands[0] << ' ' << operands[1] << ' ' << operands[2] << '-' << operands[3] << '\n';
      return kExitOk;
    case RangeAdded::Backwards:
      err << "tarnwick-record: FIRST_LAP is after LAST_LAP\n";
      break;
    case RangeAdded::PastLastLap:
      err << "tarnwick-record: a LAP has six hexadecimal digits at most\n";
      break;
    case RangeAdded::Reserved:
      err << "tarnwick-record: the range overlaps the reserved LAPs 9e8b00-9e8b3f\n";
      break;
    case RangeAdded::Overlaps:
      err << "tarnwick-record: the range overlaps the range " << added.detail << " already on the server\n";
      break;
    case RangeAdded::Unreachable:
      err << "tarnwick-record: cannot reach the ledger's server: " << added.detail;
      break;
    case RangeAdded::Refused:
      err << "tarnwick-record: the server refused: " << added.detail;
      break;
  }
  return kExitError;
}

RecordHandle OpenServerRecord(const std::string& url, std::string* error) {
  if (!ledger::server::ParseServerUrl(url).valid) {
    *error = "[ledger] url in btconfig.ini is not a postgresql:// url";
    return nullptr;
  }
  ledger::server::PgSession session(url);
  RecordHandle db(ledger::server::CopyServerRecord(session, error));
  // Server messages end in a line feed of their own.
  if (!db && !error->empty() && error->back() == '\n') error->pop_back();
  return db;
}

int64_t ReportSetAside(std::ostream& out) {
  const std::string outboxPath = std::string("./") + ledger::server::kOutboxFile;
  std::vector<ledger::server::SetAsideRow> rows = ledger::server::ReadSetAside(outboxPath);
  out << "set aside: ";
  if (rows.empty()) {
    out << "none\n";
    return 0;
  }
  out << rows.size() << (rows.size() == 1 ? " row" : " rows")
      << " the server refused for what they hold, kept in " << outboxPath << "\n";
  for (const ledger::server::SetAsideRow& row : rows) {
    // The server's words on one line: they end in a line feed, and may hold more.
    std::string reason = row.reason;
    while (!reason.empty() && reason.back() == '\n') reason.pop_back();
    for (char& c : reason) c = c == '\n' ? ' ' : c;
    out << "    " << row.time << "  " << row.operation << "  " << (row.address.empty() ? "-" : row.address) << "  "
        << (row.state.empty() ? "-" : row.state) << "  " << reason << '\n';
  }
  return static_cast<int64_t>(rows.size());
}

#else

int AddRangeCommand(const std::string&, const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "tarnwick-record: " << kNoServerLedger << '\n';
  return kExitError;
}

RecordHandle OpenServerRecord(const std::string&, std::string* error) {
  *error = kNoServerLedger;
  return nullptr;
}

int64_t ReportSetAside(std::ostream&) { return 0; }

#endif

}  // namespace record

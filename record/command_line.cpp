#include "record/command_line.h"

#include "ledger/embedded/record_db.h"
#include "ledger/ledger_settings.h"
#include "record/check.h"
#include "record/export.h"
#include "record/record_file.h"
#include "record/server_commands.h"
#include "record/summary.h"

namespace record {
namespace {

constexpr const char* kUsage =
    "usage: tarnwick-record [--db PATH] export FILE.csv\n"
    "       tarnwick-record [--db PATH] check\n"
    "       tarnwick-record [--db PATH] summary\n"
    "       tarnwick-record range add NAP UAP FIRST_LAP LAST_LAP\n"
    "PATH is the station's production record, ./production.db when not given;\n"
    "without --db, a btconfig.ini here whose [ledger] url names a server means\n"
    "the server's record, every station's rows. range add sets up an address\n"
    "range on that server (hexadecimal, both LAPs included).\n"
    "check exits with 1 when an address is in more than one module.\n";

int Usage(std::ostream& err, const std::string& problem) {
  err << "tarnwick-record: " << problem << '\n' << kUsage;
  return kExitError;
}

int Unreadable(std::ostream& err, sqlite3* db) {
  err << "tarnwick-record: the record could not be read to its end: " << sqlite3_errmsg(db) << '\n';
  return kExitError;
}

int Export(sqlite3* db, const std::string& file, std::ostream& out, std::ostream& err) {
  int64_t rows = 0;
  switch (ExportCsv(db, file, &rows)) {
    case ExportResult::Written:
      out << rows << (rows == 1 ? " row" : " rows") << " exported to " << file << '\n';
      return kExitOk;
    case ExportResult::RecordUnreadable:
      return Unreadable(err, db);
    case ExportResult::FileNotWritten:
      err << "tarnwick-record: cannot write " << file << '\n';
      return kExitError;
  }
  return kExitError;
}

}  // namespace

int RunRecordTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string path = std::string("./") + ledger::kRecordFile;
  bool pathGiven = false;
  size_t at = 0;
  if (at < args.size() && (args[at] == "--help" || args[at] == "-h")) {
    out << kUsage;
    return kExitOk;
  }
  if (at < args.size() && args[at] == "--db") {
    if (at + 1 >= args.size() || args[at + 1].empty()) return Usage(err, "--db needs a path");
    path = args[at + 1];
    pathGiven = true;
    at += 2;
  }
  if (at >= args.size()) return Usage(err, "no command");
  const std::string& command = args[at++];
  const size_t operands = args.size() - at;
  const std::string url = ledger::ReadLedgerSettings("./btconfig.ini").url;
  if (command == "range") {
    if (operands == 0 || args[at] != "add") return Usage(err, "range needs add NAP UAP FIRST_LAP LAST_LAP");
    if (pathGiven) return Usage(err, "range add works on the server, not on --db");
    if (url.empty()) return Usage(err, "range add needs [ledger] url in ./btconfig.ini");
    return AddRangeCommand(url, std::vector<std::string>(args.begin() + static_cast<long>(at) + 1, args.end()), out,
                           err);
  }
  if (command == "export") {
    if (operands != 1 || args[at].empty()) return Usage(err, "export needs one FILE.csv");
  } else if (command == "check" || command == "summary") {
    if (operands != 0) return Usage(err, command + " takes no arguments");
  } else {
    return Usage(err, "unknown command " + command);
  }

  std::string error;
  RecordHandle db = pathGiven || url.empty() ? OpenRecordForReading(path, &error) : OpenServerRecord(url, &error);
  if (!db) {
    err << "tarnwick-record: " << error << '\n';
    return kExitError;
  }
  if (command == "export") return Export(db.get(), args[at], out, err);
  if (command == "summary") return Summary(db.get(), out) ? kExitOk : Unreadable(err, db.get());

  CheckFindings findings = Check(db.get(), out);
  if (!findings.read) return Unreadable(err, db.get());
  // Rows the server refused wait in this folder, not on the server.
  const bool fromServer = !pathGiven && !url.empty();
  const int64_t setAside = fromServer ? ReportSetAside(out) : 0;
  out << "found: duplicates " << findings.duplicateAddresses << ", unknown outcomes " << findings.unknownRows
      << ", gaps " << findings.gapRanges;
  if (fromServer) out << ", set aside " << setAside;
  out << '\n';
  return findings.duplicateAddresses > 0 ? kExitDuplicate : kExitOk;
}

}  // namespace record

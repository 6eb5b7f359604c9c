// tarnwick-record against the line's server, named by [ledger] url in
// btconfig.ini of the working directory.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "record/record_file.h"

namespace record {

// `range add NAP UAP FIRST_LAP LAST_LAP`: `operands` are the four numbers. An exit status.
int AddRangeCommand(const std::string& url, const std::vector<std::string>& operands, std::ostream& out,
                    std::ostream& err);

// Every station's rows, read from the server; null with `*error` when it cannot be read.
RecordHandle OpenServerRecord(const std::string& url, std::string* error);

// For check on the server's record: the rows that the outbox of the working
// directory set aside because the server refused what they hold. Their number.
int64_t ReportSetAside(std::ostream& out);

}  // namespace record

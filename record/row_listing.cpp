#include "record/row_listing.h"

#include <cstdio>
#include <iomanip>

#include "ledger/ledger.h"

namespace record {
namespace {

// Wide enough for a host name and an address; a longer value only pushes its line on.
constexpr int kStationWidth = 12;
constexpr int kAddressWidth = 14;
constexpr int kStateWidth = 7;

}  // namespace

void ListHeader(std::ostream& out, std::string_view indent) {
  out << indent << std::setw(6) << "id"
      << "  " << std::left << std::setw(19) << "time"
      << "  " << std::setw(kStationWidth) << "station"
      << "  " << std::right << std::setw(4) << "slot"
      << "  " << std::left << std::setw(kAddressWidth) << "address"
      << "  " << std::setw(kStateWidth) << "state"
      << "  "
      << "result" << std::right << '\n';
}

void ListRow(const ledger::Statement& row, std::ostream& out, std::string_view indent) {
  out << indent << std::setw(6) << row.Int(0) << "  " << std::left << std::setw(19) << Printable(row.Text(1)) << "  "
      << std::setw(kStationWidth) << Printable(row.Text(2)) << "  " << std::right << std::setw(4) << row.Int(3) << "  "
      << std::left << std::setw(kAddressWidth) << AddressOf(row, 4) << "  " << std::setw(kStateWidth)
      << Printable(row.Text(7)) << "  " << Printable(row.Text(8)) << std::right << '\n';
}

std::string AddressOf(const ledger::Statement& row, int napColumn) {
  if (row.IsNull(napColumn) || row.IsNull(napColumn + 1) || row.IsNull(napColumn + 2)) return {};
  return ledger::AddressText({static_cast<uint32_t>(row.Int(napColumn)), static_cast<uint32_t>(row.Int(napColumn + 1)),
                              static_cast<uint32_t>(row.Int(napColumn + 2))});
}

std::string Printable(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    unsigned char byte = static_cast<unsigned char>(c);
    unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (c == '\\') {
      shown += "\\\\";
    } else if (byte < 0x20 || byte == 0x7f) {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
    } else if (byte == 0xc2 && next >= 0x80 && next <= 0x9f) {
      // U+0080 to U+009F: some terminals take these as control codes too.
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\u%04x", next);
      shown += escaped;
      ++i;
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace record

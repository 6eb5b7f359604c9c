#include "app/export_record.h"

#include <cinttypes>
#include <optional>
#include <string>

#include "ledger/embedded/counter_files.h"
#include "ledger/embedded/record_db.h"
#include "ledger/ledger_settings.h"
#include "platform/gbk.h"
#include "record/export.h"
#include "record/record_file.h"
#include "record/server_commands.h"

namespace app {
namespace {

constexpr const char* kExported = "生产记录已导出: %s (%" PRId64 "行). ";
constexpr const char* kNoRecord = "没有生产记录(production.db), 无法导出! ";
constexpr const char* kNoServerRecord = "无法读取地址服务器%s上的生产记录, 无法导出! ";
constexpr const char* kNotExported = "生产记录导出失败! 请检查文件%s. ";

}  // namespace

void ExportRecord(dialog::DialogServices& dialog) {
  std::optional<std::string> path = dialog.window().ChooseSaveFile("Files(*.csv)|*.csv||", "production.csv");
  if (!path) return;
  std::string error;
  // A line's server holds the record of every station, this one's among them.
  const std::string url = ledger::ReadLedgerSettings("./btconfig.ini").url;
  record::RecordHandle db = url.empty() ? record::OpenRecordForReading(ledger::CounterFilesFor("./btconfig.ini").record, &error)
                                        : record::OpenServerRecord(url, &error);
  if (!db) {
    if (url.empty()) {
      dialog.Report("%s", kNoRecord);
    } else {
      dialog.Report(kNoServerRecord, dialog.Ledger().ServerName().c_str());
    }
    return;
  }
  int64_t rows = 0;
  if (record::ExportCsv(db.get(), platform::GbkToUtf8(*path), &rows) == record::ExportResult::Written) {
    dialog.Report(kExported, path->c_str(), rows);
  } else {
    dialog.Report(kNotExported, path->c_str());
  }
}

}  // namespace app

#include "app/export_record.h"

#include <cinttypes>
#include <optional>
#include <string>

#include "ledger/embedded/record_db.h"
#include "platform/gbk.h"
#include "record/export.h"
#include "record/record_file.h"

namespace app {
namespace {

constexpr const char* kExported = "生产记录已导出: %s (%" PRId64 "行). ";
constexpr const char* kNoRecord = "没有生产记录(production.db), 无法导出! ";
constexpr const char* kNotExported = "生产记录导出失败! 请检查文件%s. ";

}  // namespace

void ExportRecord(dialog::DialogServices& dialog) {
  std::optional<std::string> path = dialog.window().ChooseSaveFile("Files(*.csv)|*.csv||", "production.csv");
  if (!path) return;
  std::string error;
  record::RecordHandle db = record::OpenRecordForReading(std::string("./") + ledger::kRecordFile, &error);
  if (!db) {
    dialog.Report("%s", kNoRecord);
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

// The dialog's services with every Report kept as one line, unbroken, so a test
// can compare the messages of a handler in order. Everything else, the report
// itself included, goes through to the dialog.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/main_dialog.h"

namespace fakes {

class ReportedLines : public dialog::DialogServices {
 public:
  explicit ReportedLines(app::MainDialog& dialog) : dialog_(dialog) {}

  const std::vector<std::string>& lines() const { return lines_; }

  bool CollectFields() override { return dialog_.CollectFields(); }
  void ShowFields() override { dialog_.ShowFields(); }
  dialog::FieldValues& Fields() override { return dialog_.Fields(); }
  bool IsButtonSet(int id) const override { return dialog_.IsButtonSet(id); }
  const dialog::Transports& transports() const override { return dialog_.transports(); }
  dialog::Window& window() override { return dialog_.window(); }
  void CaretToEnd(int id) override { dialog_.CaretToEnd(id); }
  ledger::Ledger& Ledger() override { return dialog_.Ledger(); }

 protected:
  void ShowReport(std::string_view text) override {
    lines_.emplace_back(text);
    dialog_.Report("%s", lines_.back().c_str());
  }

 private:
  app::MainDialog& dialog_;
  std::vector<std::string> lines_;
};

}  // namespace fakes

#include "app/log_edit.h"

namespace app {
namespace {

constexpr size_t kBreakEvery = 34;
constexpr size_t kPaneLimit = 3000;

}  // namespace

void LogEdit::AppendLine(std::string text) {
  // Breaks at every 34th byte of the text as it grows, so after the first line
  // of 34 bytes each further line holds 32 (the inserted pair counts).
  size_t breaks = text.size() / kBreakEvery;
  for (size_t k = 1; k <= breaks; ++k) text.insert(kBreakEvery * k, "\r\n");

  std::string pane = window_.ItemText(id_);
  if (pane.size() > kPaneLimit) pane.clear();  // the pane starts afresh rather than grow without end
  if (!pane.empty()) pane += "\r\n";
  pane += text;
  window_.SetItemText(id_, pane);
  window_.LineScroll(id_, window_.LineCount(id_));
}

}  // namespace app

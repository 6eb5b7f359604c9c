#include "bench/bench_window.h"

namespace bench {

std::string BenchWindow::ItemText(int id) const {
  auto it = texts_.find(id);
  return it == texts_.end() ? std::string() : it->second;
}

int BenchWindow::ButtonState(int id) const {
  auto it = states_.find(id);
  return it == states_.end() ? dialog::kBstUnchecked : it->second;
}

void BenchWindow::ResetContent(int id) {
  lists_[id].clear();
  selections_[id] = -1;
}

int BenchWindow::ListCount(int id) const {
  auto it = lists_.find(id);
  return it == lists_.end() ? 0 : static_cast<int>(it->second.size());
}

std::string BenchWindow::ListText(int id, int index) const {
  auto it = lists_.find(id);
  if (it == lists_.end() || index < 0 || index >= static_cast<int>(it->second.size())) return {};
  return it->second[static_cast<size_t>(index)];
}

int BenchWindow::CurSel(int id) const {
  auto it = selections_.find(id);
  return it == selections_.end() ? -1 : it->second;
}

int BenchWindow::MessageBox(std::string_view text, int buttons) {
  ++boxes_;
  lastBox_ = std::string(text);
  return buttons == dialog::kMbYesNo ? dialog::kIdYes : dialog::kIdOk;
}

}  // namespace bench

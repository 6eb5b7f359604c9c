#include "tests/support/memory_window.h"

#include "res/dialog_template.h"

namespace fakes {

MemoryWindow::MemoryWindow() {
  for (const res::Control& control : res::MainDialogTemplate().controls) {
    if (control.id == res::kNoId) continue;
    texts_[control.id] = control.caption;
    enabled_[control.id] = (control.style & res::kDisabled) == 0;
  }
}

std::string MemoryWindow::ItemText(int id) const {
  auto it = texts_.find(id);
  return it == texts_.end() ? std::string() : it->second;
}

void MemoryWindow::SetItemText(int id, std::string_view text) {
  texts_[id] = std::string(text);
  selections_[id] = {0, 0};  // as an edit does: the caret goes back to the start
}

void MemoryWindow::SetSel(int id, int start, int end) {
  int length = static_cast<int>(ItemText(id).size());
  if (end < 0 || end > length) end = length;
  if (start < 0 || start > length) start = length;
  selections_[id] = {start, end};
}

void MemoryWindow::GetSel(int id, int* start, int* end) const {
  auto it = selections_.find(id);
  *start = it == selections_.end() ? 0 : it->second.first;
  *end = it == selections_.end() ? 0 : it->second.second;
}

int MemoryWindow::LineCount(int id) const {
  const std::string text = ItemText(id);
  int lines = 1;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  return lines;
}

int MemoryWindow::ButtonState(int id) const {
  auto it = states_.find(id);
  return it == states_.end() ? 0 : it->second;
}

bool MemoryWindow::IsItemEnabled(int id) const {
  auto it = enabled_.find(id);
  return it == enabled_.end() || it->second;
}

void MemoryWindow::ResetContent(int id) {
  lists_[id].clear();
  cursel_[id] = -1;
}

int MemoryWindow::ListCount(int id) const {
  auto it = lists_.find(id);
  return it == lists_.end() ? 0 : static_cast<int>(it->second.size());
}

std::string MemoryWindow::ListText(int id, int index) const {
  auto it = lists_.find(id);
  if (it == lists_.end() || index < 0 || index >= static_cast<int>(it->second.size())) return {};
  return it->second[static_cast<size_t>(index)];
}

int MemoryWindow::CurSel(int id) const {
  auto it = cursel_.find(id);
  return it == cursel_.end() ? -1 : it->second;
}

int MemoryWindow::MessageBox(std::string_view text, int buttons) {
  boxes_.push_back({std::string(text), buttons});
  int answer = buttons == dialog::kMbYesNo ? dialog::kIdYes : dialog::kIdOk;
  if (!boxAnswers_.empty()) {
    answer = boxAnswers_.front();
    boxAnswers_.pop_front();
  }
  return answer;
}

std::optional<std::string> MemoryWindow::ChooseOpenFile(std::string_view filter) {
  filters_.emplace_back(filter);
  if (fileAnswers_.empty()) return std::nullopt;
  auto answer = fileAnswers_.front();
  fileAnswers_.pop_front();
  return answer;
}

int MemoryWindow::limit(int id) const {
  auto it = limits_.find(id);
  return it == limits_.end() ? 0 : it->second;
}

int MemoryWindow::lastLineScroll(int id) const {
  auto it = lineScroll_.find(id);
  return it == lineScroll_.end() ? 0 : it->second;
}

std::vector<std::string> MemoryWindow::listEntries(int id) const {
  auto it = lists_.find(id);
  return it == lists_.end() ? std::vector<std::string>() : it->second;
}

}  // namespace fakes

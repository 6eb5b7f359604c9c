// The Window port in memory: what the handlers wrote, and modal answers
// scripted before the click.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dialog/window.h"

namespace fakes {

class MemoryWindow : public dialog::Window {
 public:
  // Every control of the main dialog, with its template caption and state.
  MemoryWindow();

  // ---- scripted answers ----
  void AnswerNextMessageBox(int answer) { boxAnswers_.push_back(answer); }
  void ChooseNextFile(std::optional<std::string> path) { fileAnswers_.push_back(std::move(path)); }
  void SetMinimized(bool minimized) { minimized_ = minimized; }
  // Emulates typing: the text as the operator left it in the control.
  void Type(int id, std::string text) { texts_[id] = std::move(text); }
  // A click of a list entry by the operator.
  void Select(int id, int index) { cursel_[id] = index; }

  // ---- what happened ----
  struct Box {
    std::string text;
    int buttons;
  };
  const std::vector<Box>& messageBoxes() const { return boxes_; }
  const std::vector<std::string>& fileFilters() const { return filters_; }
  int aboutShown() const { return about_; }
  std::optional<int> endResult() const { return ended_; }
  int limit(int id) const;
  int focus() const { return focus_; }
  int lastLineScroll(int id) const;
  std::vector<std::string> listEntries(int id) const;
  const std::vector<std::pair<int, std::string>>& systemMenu() const { return systemMenu_; }
  int keepPaintingCalls() const { return keepPainting_; }
  bool TimerRunning(int id) const { return timers_.count(id) != 0; }
  unsigned TimerInterval(int id) const { return timers_.at(id); }

  // ---- Window ----
  std::string ItemText(int id) const override;
  void SetItemText(int id, std::string_view text) override;
  void SetLimitText(int id, int bytes) override { limits_[id] = bytes; }
  void SetSel(int id, int start, int end) override;
  void GetSel(int id, int* start, int* end) const override;
  void ScrollCaret(int id) override { scrolledCaret_[id]++; }
  int LineCount(int id) const override;
  void LineScroll(int id, int lines) override { lineScroll_[id] = lines; }
  int ButtonState(int id) const override;
  void SetCheck(int id, int state) override { states_[id] = state; }
  void EnableItem(int id, bool enable) override { enabled_[id] = enable; }
  bool IsItemEnabled(int id) const override;
  void SetFocus(int id) override { focus_ = id; }
  void AddString(int id, std::string_view text) override { lists_[id].emplace_back(text); }
  void ResetContent(int id) override;
  int ListCount(int id) const override;
  std::string ListText(int id, int index) const override;
  int CurSel(int id) const override;
  void SetCurSel(int id, int index) override { cursel_[id] = index; }
  int MessageBox(std::string_view text, int buttons) override;
  std::optional<std::string> ChooseOpenFile(std::string_view filter) override;
  // Answered from the same queue as the open box.
  std::optional<std::string> ChooseSaveFile(std::string_view filter, std::string_view) override {
    return ChooseOpenFile(filter);
  }
  void ShowAbout() override { ++about_; }
  bool HasSystemMenu() const override { return true; }
  void AppendSystemMenuItem(int command, std::string_view text) override { systemMenu_.emplace_back(command, text); }
  void SetAppIcon() override { iconSet_ = true; }
  bool IsMinimized() const override { return minimized_; }
  void EndDialog(int result) override { ended_ = result; }
  void SetTimer(int id, unsigned milliseconds) override { timers_[id] = milliseconds; }
  void KillTimer(int id) override { timers_.erase(id); }
  void KeepPainting() override { ++keepPainting_; }

  bool iconSet() const { return iconSet_; }

 private:
  std::map<int, std::string> texts_;
  std::map<int, int> limits_;
  std::map<int, std::pair<int, int>> selections_;
  std::map<int, int> scrolledCaret_;
  std::map<int, int> lineScroll_;
  std::map<int, int> states_;
  std::map<int, bool> enabled_;
  std::map<int, std::vector<std::string>> lists_;
  std::map<int, int> cursel_;
  std::map<int, unsigned> timers_;
  std::vector<std::pair<int, std::string>> systemMenu_;
  std::deque<int> boxAnswers_;
  std::deque<std::optional<std::string>> fileAnswers_;
  std::vector<Box> boxes_;
  std::vector<std::string> filters_;
  std::optional<int> ended_;
  int focus_ = 0;
  int about_ = 0;
  int keepPainting_ = 0;
  bool minimized_ = false;
  bool iconSet_ = false;
};

}  // namespace fakes

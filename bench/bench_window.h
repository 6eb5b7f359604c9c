// The smallest window the dialog can run on: it keeps what the handlers write
// and answers every box with OK, counting the boxes (a pass that shows one has
// gone wrong).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "dialog/window.h"

namespace bench {

class BenchWindow : public dialog::Window {
 public:
  int messageBoxes() const { return boxes_; }
  const std::string& lastBox() const { return lastBox_; }

  std::string ItemText(int id) const override;
  void SetItemText(int id, std::string_view text) override { texts_[id] = std::string(text); }
  void SetLimitText(int, int) override {}
  void SetSel(int, int, int) override {}
  void GetSel(int, int* start, int* end) const override { *start = *end = 0; }
  void ScrollCaret(int) override {}
  int LineCount(int) const override { return 1; }
  void LineScroll(int, int) override {}
  int ButtonState(int id) const override;
  void SetCheck(int id, int state) override { states_[id] = state; }
  void EnableItem(int, bool) override {}
  bool IsItemEnabled(int) const override { return true; }
  void SetFocus(int) override {}
  void AddString(int id, std::string_view text) override { lists_[id].emplace_back(text); }
  void ResetContent(int id) override;
  int ListCount(int id) const override;
  std::string ListText(int id, int index) const override;
  int CurSel(int id) const override;
  void SetCurSel(int id, int index) override { selections_[id] = index; }
  int MessageBox(std::string_view text, int buttons) override;
  std::optional<std::string> ChooseOpenFile(std::string_view) override { return std::nullopt; }
  std::optional<std::string> ChooseSaveFile(std::string_view, std::string_view) override { return std::nullopt; }
  void ShowAbout() override {}
  bool HasSystemMenu() const override { return false; }
  void AppendSystemMenuItem(int, std::string_view) override {}
  void SetAppIcon() override {}
  bool IsMinimized() const override { return false; }
  void EndDialog(int) override {}
  void SetTimer(int, unsigned) override {}
  void KillTimer(int) override {}
  void KeepPainting() override {}

 private:
  std::map<int, std::string> texts_;
  std::map<int, int> states_;
  std::map<int, std::vector<std::string>> lists_;
  std::map<int, int> selections_;
  int boxes_ = 0;
  std::string lastBox_;
};

}  // namespace bench

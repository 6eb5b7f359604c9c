// An edit that takes a file dropped from the desktop: the file's path (or the
// target of a dropped link) replaces the text, with the caret at its end.
#pragma once

#include "controls/field_edit.h"

namespace controls {

class DropEdit : public FieldEdit {
  Q_OBJECT

 public:
  explicit DropEdit(QWidget* parent = nullptr);

  // False takes only regular files, true would take only folders. The station never sets it.
  bool AcceptFolders = false;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void OnDropFiles(const QString& firstFile);
};

}  // namespace controls

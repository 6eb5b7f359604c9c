// An edit that takes a file dropped from the desktop: the file's path (or the
// target of a dropped link) replaces the text, with the caret at its end.
#pragma once

#include "ui/qt/field_edit.h"

namespace ui::qt {

class DropEdit : public FieldEdit {
  Q_OBJECT

 public:
  explicit DropEdit(QWidget* parent = nullptr);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void OnDropFiles(const QString& firstFile);
};

}  // namespace ui::qt

// The single-line edit of the station window's fields: a GBK byte limit that
// applies to typing, and optional lower-case letters.
#pragma once

#include <QLineEdit>

namespace ui::qt {

class GbkLimitValidator;

class FieldEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit FieldEdit(QWidget* parent = nullptr);

  // Typing and pasting stop at this many GBK bytes; 0 lifts the limit.
  void SetLimitBytes(int bytes);
  int LimitBytes() const;
  void SetLowerCase(bool lowerCase);
  bool LowerCase() const;

  // The program's own text: shown whole even past the limit (the next
  // collection then finds it too long), in lower case where the field is.
  void SetText(const QString& text);

 private:
  GbkLimitValidator* validator_;
};

}  // namespace ui::qt

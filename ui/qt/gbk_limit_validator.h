// What typing may put into a field: no more GBK bytes than its limit, and
// letters in lower case where the field asks for it.
#pragma once

#include <QValidator>

namespace ui::qt {

class GbkLimitValidator : public QValidator {
  Q_OBJECT

 public:
  explicit GbkLimitValidator(QObject* parent = nullptr) : QValidator(parent) {}

  // 0: no limit.
  void SetLimitBytes(int bytes) { limitBytes_ = bytes; }
  int LimitBytes() const { return limitBytes_; }
  void SetLowerCase(bool lowerCase) { lowerCase_ = lowerCase; }
  bool LowerCase() const { return lowerCase_; }

  // The text the field held before the change under validation.
  void SetPreviousText(const QString& text) { previous_ = text; }
  // While set, the limit is not applied: the program may show a longer value.
  void SetLimitSuspended(bool suspended) { limitSuspended_ = suspended; }

  State validate(QString& input, int& position) const override;

 private:
  int limitBytes_ = 0;
  bool lowerCase_ = false;
  bool limitSuspended_ = false;
  QString previous_;
};

}  // namespace ui::qt

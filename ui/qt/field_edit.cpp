#include "ui/qt/field_edit.h"

#include "ui/qt/gbk_limit_validator.h"

namespace ui::qt {

FieldEdit::FieldEdit(QWidget* parent) : QLineEdit(parent), validator_(new GbkLimitValidator(this)) {
  setValidator(validator_);
  // The validator needs the text before each change to tell what was typed.
  connect(this, &QLineEdit::textChanged, validator_, &GbkLimitValidator::SetPreviousText);
}

void FieldEdit::SetLimitBytes(int bytes) { validator_->SetLimitBytes(bytes); }
int FieldEdit::LimitBytes() const { return validator_->LimitBytes(); }

void FieldEdit::SetLowerCase(bool lowerCase) { validator_->SetLowerCase(lowerCase); }
bool FieldEdit::LowerCase() const { return validator_->LowerCase(); }

void FieldEdit::SetText(const QString& text) {
  validator_->SetLimitSuspended(true);
  setText(text);
  validator_->SetLimitSuspended(false);
  // setText does not signal a text equal to the current one.
  validator_->SetPreviousText(this->text());
}

}  // namespace ui::qt

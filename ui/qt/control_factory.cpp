#include "ui/qt/control_factory.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>

#include "res/resource_ids.h"
#include "ui/qt/app_icon_image.h"
#include "ui/qt/caption_check_box.h"
#include "ui/qt/drop_edit.h"
#include "ui/qt/field_edit.h"
#include "ui/qt/gbk_text.h"
#include "ui/qt/hover_button.h"

namespace ui::qt {
namespace {

bool Has(const res::Control& control, uint32_t style) { return (control.style & style) != 0; }

QWidget* CreatePushButton(const res::Control& control, const QString& caption) {
  if (Has(control, res::kOwnerDraw)) return new HoverButton(caption);
  auto* button = new QPushButton(caption);
  // Enter clicks a push button only while it has the focus; otherwise it is
  // the dialog's OK, which no button of the window carries.
  button->setAutoDefault(false);
  button->setDefault(Has(control, res::kDefPushButton));
  return button;
}

QWidget* CreateEdit(const res::Control& control) {
  if (Has(control, res::kMultiLine)) {
    auto* edit = new QPlainTextEdit;
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setVerticalScrollBarPolicy(Has(control, res::kVScroll) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // Scrolls sideways with the caret, without a bar of its own.
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves on to the next control, as in any dialog.
    edit->setTabChangesFocus(true);
    edit->setReadOnly(Has(control, res::kReadOnly));
    return edit;
  }
  FieldEdit* edit = Has(control, res::kAcceptFiles) ? new DropEdit : new FieldEdit;
  edit->SetLowerCase(Has(control, res::kLowerCase));
  edit->setReadOnly(Has(control, res::kReadOnly));
  edit->SetText(FromGbk(control.caption));
  return edit;
}

QWidget* CreateLabel(const QString& caption) {
  auto* label = new QLabel(caption);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QWidget* CreateListBox(const res::Control& control) {
  auto* list = new QListWidget;
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setVerticalScrollBarPolicy(Has(control, res::kVScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setFrameShape(QFrame::Box);
  list->setLineWidth(1);
  list->setUniformItemSizes(true);
  return list;
}

QWidget* CreateGroupBox(const QString& caption) {
  auto* group = new QGroupBox(caption);
  // The caption sits on the frame's top line, as the template's rectangles expect.
  if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
    classic->setParent(group);
    group->setStyle(classic);
  }
  return group;
}

QWidget* CreateEtchedFrame() {
  auto* frame = new QFrame;
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  return frame;
}

QWidget* CreateIcon() {
  auto* icon = new QLabel;
  icon->setPixmap(AppIconPixmap());
  icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return icon;
}

QWidget* CreateWidget(const res::Control& control, const QString& caption) {
  switch (control.kind) {
    case res::Kind::PushButton: return CreatePushButton(control, caption);
    case res::Kind::Edit: return CreateEdit(control);
    case res::Kind::Label: return CreateLabel(caption);
    case res::Kind::GroupBox: return CreateGroupBox(caption);
    case res::Kind::ListBox: return CreateListBox(control);
    case res::Kind::CheckBox: return new CaptionCheckBox(caption);
    case res::Kind::EtchedFrame: return CreateEtchedFrame();
    case res::Kind::Icon: return CreateIcon();
  }
  return new QWidget;
}

// A control with a caption is called by it; an edit or a list by its field.
// A label keeps its text as its name and tells its field as its description,
// as do the two device boxes that share the caption "Check1".
void Name(QWidget* widget, const res::Control& control, const QString& caption) {
  const QString field = control.field != nullptr ? QString::fromLatin1(control.field) : QString();
  if (!field.isEmpty()) {
    widget->setObjectName(field);
  } else if (control.id != res::kNoId) {
    widget->setObjectName(QString::number(control.id));
  }
  if (field.isEmpty()) return;
  if (control.kind == res::Kind::Label || !caption.isEmpty()) {
    widget->setAccessibleDescription(field);
  } else {
    widget->setAccessibleName(field);
  }
}

}  // namespace

QWidget* CreateControl(const res::Control& control, const DialogUnits& units, QWidget* parent) {
  const QString caption = FromGbk(control.caption);
  QWidget* widget = CreateWidget(control, caption);
  widget->setParent(parent);
  widget->setProperty(kControlIdProperty, control.id);
  Name(widget, control, caption);
  widget->setGeometry(units.ToPixels(control.x, control.y, control.width, control.height));
  // An icon control takes the icon's own size.
  if (control.kind == res::Kind::Icon) widget->resize(widget->sizeHint());
  if (!Has(control, res::kTabStop) && (widget->focusPolicy() & Qt::TabFocus) != 0) {
    widget->setFocusPolicy(Qt::ClickFocus);
  }
  if (Has(control, res::kDisabled)) {
    widget->setEnabled(false);
    // The burned count is disabled but read all shift long: keep its text dark enough to read.
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Disabled, QPalette::Text, colours.color(QPalette::Active, QPalette::WindowText));
    widget->setPalette(colours);
  }
  // Hidden for good: nothing of the station ever shows these.
  widget->setVisible(!Has(control, res::kHidden));
  return widget;
}

int ControlId(const QWidget* widget) {
  const QVariant id = widget->property(kControlIdProperty);
  return id.isValid() ? id.toInt() : res::kNoId;
}

}  // namespace ui::qt

#include "ui/qt/caption_check_box.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace ui::qt {

CaptionCheckBox::CaptionCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {}

void CaptionCheckBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QString caption = option.text;
  const QFontMetrics& metrics = option.fontMetrics;

  // The line centred in the caption's area, as the style places it; raised
  // where its lowest ink (an underscore lies below the font's descent) would
  // fall below the widget and be cut away.
  const QRect area = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
  int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
  const int inkBelow = metrics.tightBoundingRect(caption).bottom();
  if (baseline + inkBelow > rect().bottom()) baseline = rect().bottom() - inkBelow;
  const QRect line(area.left(), baseline - metrics.ascent(), area.width(), metrics.height());

  option.text.clear();
  painter.drawControl(QStyle::CE_CheckBox, option);
  const int mnemonic = style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this) != 0 ? Qt::TextShowMnemonic
                                                                                           : Qt::TextHideMnemonic;
  painter.drawItemText(line, Qt::AlignLeft | Qt::AlignVCenter | mnemonic, option.palette, isEnabled(), caption,
                       QPalette::WindowText);
}

}  // namespace ui::qt

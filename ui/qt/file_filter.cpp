#include "ui/qt/file_filter.h"

#include <QStringList>

namespace ui::qt {

QString QtFileFilter(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts.at(i);
    if (description.isEmpty()) break;  // the "||" that ends the list
    const QString patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts).join(u' ');
    // Qt reads the patterns from the last parentheses, so a description that
    // already shows them is taken as it is.
    const QString shown = QStringLiteral("(%1)").arg(patterns);
    if (description.endsWith(shown) || description.endsWith(QStringLiteral("(%1)").arg(parts.at(i + 1)))) {
      filters << description.left(description.lastIndexOf(u'(')) + shown;
    } else {
      filters << description + u' ' + shown;
    }
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace ui::qt

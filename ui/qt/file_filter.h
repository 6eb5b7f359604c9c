// File-dialog filters from the "Files(*.bin)|*.bin||" form to Qt's.
#pragma once

#include <QString>

namespace ui::qt {

// Pairs of description and patterns (';' between patterns), ended by "||",
// become Qt's "Description (patterns)" list joined by ";;".
QString QtFileFilter(const QString& filter);

}  // namespace ui::qt

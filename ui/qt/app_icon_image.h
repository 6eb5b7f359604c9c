// Icon 128 as a Qt image.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace ui::qt {

QPixmap AppIconPixmap();
QIcon AppIconIcon();

}  // namespace ui::qt

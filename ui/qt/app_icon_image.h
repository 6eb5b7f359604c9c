// Icon 128 as a Qt image.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace ui {

QPixmap AppIconPixmap();
QIcon AppIconIcon();

}  // namespace ui

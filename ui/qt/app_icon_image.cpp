#include "ui/qt/app_icon_image.h"

#include <QImage>

#include "res/app_icon.h"

namespace ui::qt {

QPixmap AppIconPixmap() {
  const res::PixelArt& art = res::AppIcon();
  QImage image(art.width, art.height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < art.height; ++y) {
    const char* row = art.rows[static_cast<size_t>(y)];
    for (int x = 0; x < art.width && row[x] != '\0'; ++x) image.setPixel(x, y, art.colour(row[x]));
  }
  return QPixmap::fromImage(image);
}

QIcon AppIconIcon() { return QIcon(AppIconPixmap()); }

}  // namespace ui::qt

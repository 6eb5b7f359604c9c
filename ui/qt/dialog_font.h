// The font of a dialog template and the dialog units measured in it.
#pragma once

#include <QFont>
#include <QRect>

#include "res/dialog_template.h"

namespace ui::qt {

// The template's face when installed, else the nearest installed CJK face, at the template's size.
QFont DialogFont(const res::Dialog& dialog);

// Base units of a dialog font: the average width of "A".."Z","a".."z" and the
// font height, in pixels. A dialog unit is a quarter of the one across and an
// eighth of the other.
struct DialogUnits {
  int baseX;
  int baseY;

  static DialogUnits Of(const QFont& font);
  int ToPixelsX(int units) const;
  int ToPixelsY(int units) const;
  // Corners converted one by one, as the platform maps a dialog rectangle.
  QRect ToPixels(int x, int y, int width, int height) const;
  QSize ToPixels(int width, int height) const;
};

}  // namespace ui::qt

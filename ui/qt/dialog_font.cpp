#include "ui/qt/dialog_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include "ui/qt/gbk_text.h"

namespace ui::qt {
namespace {

// Rounded like the platform's MulDiv.
int Scale(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

QFont DialogFont(const res::Dialog& dialog) {
  // Song faces first: the look the dialogs were drawn for. Then any CJK face
  // that renders both scripts.
  const QStringList candidates = {
      FromGbk(dialog.font), "SimSun",          "NSimSun",           "AR PL UMing CN",
      "AR PL SungtiL GB",             "WenQuanYi Zen Hei", "Noto Sans CJK SC", "Droid Sans Fallback",
  };
  QFont font;
  for (const QString& family : candidates) {
    if (QFontDatabase::hasFamily(family)) {
      font.setFamily(family);
      break;
    }
  }
  font.setPointSize(dialog.pointSize);
  return font;
}

DialogUnits DialogUnits::Of(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return DialogUnits{(alphabet / 26 + 1) / 2, metrics.height()};
}

int DialogUnits::ToPixelsX(int units) const { return Scale(units, baseX, 4); }
int DialogUnits::ToPixelsY(int units) const { return Scale(units, baseY, 8); }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  const int left = ToPixelsX(x);
  const int top = ToPixelsY(y);
  return QRect(left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top);
}

QSize DialogUnits::ToPixels(int width, int height) const { return QSize(ToPixelsX(width), ToPixelsY(height)); }

}  // namespace ui::qt

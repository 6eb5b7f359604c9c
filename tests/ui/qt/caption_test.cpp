// Captions drawn whole: a check box lower than its font must still show the
// part of "SPI_Flash" below the baseline.
#include <QAbstractButton>
#include <QImage>

#include "res/resource_ids.h"
#include "tests/ui/qt/window_fixture.h"

namespace window_test {
namespace {

QImage Grab(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Dark pixels where `with` and `without` differ: the ink of what only `with` holds.
int DarkDifference(const QImage& with, const QImage& without) {
  int dark = 0;
  for (int y = 0; y < with.height(); ++y) {
    for (int x = 0; x < with.width(); ++x) {
      if (with.pixel(x, y) != without.pixel(x, y) && qGray(with.pixel(x, y)) < 128) ++dark;
    }
  }
  return dark;
}

class CaptionTest : public WindowTest {};

TEST_F(CaptionTest, TheUnderscoreOfAMemoryBoxShows) {
  Open();
  for (const int id : {res::IDC_SPI_FLASH, res::IDC_PARALLEL_FLASH}) {
    auto* box = ControlAs<QAbstractButton>(id);
    ASSERT_NE(box, nullptr) << id;
    const QString caption = box->text();
    ASSERT_TRUE(caption.contains('_')) << id;
    const QImage shown = Grab(box);
    // The same caption with a space in the underscore's place: all that
    // differs is the underscore, and it must be ink, not cut away.
    box->setText(QString(caption).replace('_', ' '));
    const QImage spaced = Grab(box);
    box->setText(caption);
    EXPECT_GT(DarkDifference(shown, spaced), 2) << caption.toStdString();
  }
}

}  // namespace
}  // namespace window_test

// The Qt window with the real dialog logic behind it and recording chip
// libraries that report one adapter, in a working directory of its own.
#pragma once

#include <gtest/gtest.h>

#include <QRect>
#include <QString>
#include <ostream>
#include <functional>
#include <string>

#include "app/main_dialog.h"
#include "dialog/transports.h"
#include "tests/support/recording_test_e2.h"
#include "tests/support/recording_test_engine.h"
#include "tests/support/recording_test_flash.h"
#include "tests/support/temp_directory.h"
#include "ui/qt/qt_window.h"

// Qt values in test failures as text rather than bytes; found by gtest next to the types.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QRect& r, std::ostream* out) {
  *out << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

namespace window_test {

class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  // OnInitDialog, then the window shown and exposed, as RunModal does without its loop.
  void Open();
  QWidget* Control(int id) const { return window.Control(id); }
  template <typename T>
  T* ControlAs(int id) const {
    return qobject_cast<T*>(window.Control(id));
  }
  // The port's text of a control, as UTF-8 for comparisons.
  QString Text(int id) const;

  fakes::TempWorkingDirectory folder;
  fakes::RecordingTestEngine engine;
  fakes::RecordingTestFlash flash;
  fakes::RecordingTestE2 e2;
  dialog::Transports transports;
  ui::qt::QtWindow window;
  app::MainDialog dialog{window, engine, flash, e2, transports};
};

// Runs `answer` on the next modal box of class `className` once it is open.
// The click that opens the box runs the nested loop in which the answer comes.
void WhenModalOpens(const char* className, std::function<void(QWidget*)> answer);

}  // namespace window_test

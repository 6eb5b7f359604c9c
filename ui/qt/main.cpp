// Tarnwick: the station tool of the Bluetooth module production line.
#include <QApplication>

#include "ui/qt/programmer_app.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  ui::qt::ProgrammerApp programmer;
  return programmer.InitInstance() ? 0 : 1;
}

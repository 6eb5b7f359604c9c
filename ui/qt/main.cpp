// Tarnwick: the station tool of the Bluetooth module production line.
#include <QApplication>

#include "ui/programmer_app.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  ui::ProgrammerApp programmer;
  return programmer.InitInstance() ? 0 : 1;
}

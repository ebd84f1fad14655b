// The yardstick for window_startup_probe: an empty Qt window, shown and
// closed the same way.
#include <QApplication>
#include <QWidget>

#include "close_when_shown.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  CloseWhenShown closer;
  application.installEventFilter(&closer);
  QWidget window;
  window.resize(675, 505);
  window.show();
  return application.exec();
}

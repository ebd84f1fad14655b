#include "main_window_closer.h"

#include <QApplication>
#include <QWidget>

namespace app_test {

MainWindowCloser::MainWindowCloser() {
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->objectName() == "frmSynchPropertyLocationsMain" && window->isVisible()) {
        shown_ = true;
        window->close();
      }
    }
  });
  timer_.start(5);
}

}  // namespace app_test

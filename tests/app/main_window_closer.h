// Closes the main window whenever it shows while a test runs the program
// entry, so that an entry that brings the window up still ends; notes that
// it showed.
#pragma once

#include <QTimer>

namespace app_test {

class MainWindowCloser {
 public:
  // Starts watching for the main window.
  MainWindowCloser();

  // Whether the main window showed since construction.
  bool Shown() const { return shown_; }

 private:
  QTimer timer_;
  bool shown_ = false;
};

}  // namespace app_test

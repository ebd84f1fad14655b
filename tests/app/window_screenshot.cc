// Saves a picture of the main window after a pass over the sample jail, for
// the README: window_screenshot OUT.png (run it under Xvfb with the xcb
// platform to see what a desktop shows).
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "app/main_form.h"
#include "jail_server.h"
#include "modal_answerer.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_screenshot OUT.png\n");
    return 1;
  }
  app_test::JailServer jail;
  app_test::ModalAnswerer answerer;
  TfrmSynchPropertyLocationsMain window(jail.Site());
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  QTest::mouseClick(window.findChild<QPushButton*>("btnStart"), Qt::LeftButton);
  window.findChild<QPlainTextEdit*>("Memo1")->moveCursor(QTextCursor::End);
  QTest::qWait(200);
  return window.grab().save(argv[1]) ? 0 : 1;
}

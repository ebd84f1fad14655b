// The window program's start-up, shown and closed at once: the real program
// entry with the real window, as the program itself runs it.
#include <QApplication>

#include "app/program_entry.h"
#include "close_when_shown.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  CloseWhenShown closer;
  application.installEventFilter(&closer);
  return SynchpropertyLocationsOnJail(application, {});
}

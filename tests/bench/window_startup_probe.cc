// The window program's start-up, shown and closed at once: the real program
// entry with the real window, as the program itself runs it, installed at a
// site whose database is on the stand-in at the port given as argument.
#include <QApplication>
#include <string>

#include "app/program_entry.h"
#include "close_when_shown.h"
#include "installed_site.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) return 2;
  const standin_test::InstalledSite site(std::stoi(argv[1]));
  CloseWhenShown closer;
  application.installEventFilter(&closer);
  return SynchpropertyLocationsOnJail(application, site);
}

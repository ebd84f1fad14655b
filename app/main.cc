// synch-property-locations: the window program.
#include <QApplication>

#include "app/program_entry.h"
#include "platform/disk.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  return SynchpropertyLocationsOnJail(application, platform::SystemDisk());
}

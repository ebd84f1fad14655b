#include "app/program_entry.h"

#include <memory>

#include "app/application_title.h"
#include "app/error_boxes.h"
#include "app/main_form.h"

int SynchpropertyLocationsOnJail(QApplication& AApplication, const platform::Disk& ADisk) {
  AApplication.setApplicationName(kApplicationTitle);
  // Desktops name a window's task bar entry after the desktop entry they
  // match it with: the installed synch-property-locations.desktop.
  QGuiApplication::setDesktopFileName("synch-property-locations");
  std::unique_ptr<TfrmSynchPropertyLocationsMain> window;
  try {
    window = std::make_unique<TfrmSynchPropertyLocationsMain>(ADisk);
  } catch (...) {
    ShowApplicationErrorBox(std::current_exception());
    return 1;
  }
  window->show();
  AApplication.exec();
  return 0;
}

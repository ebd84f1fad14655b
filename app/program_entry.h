// The program entry, apart from main() so that tests and the start-up
// benchmark run the very same start-up.
#pragma once

#include <QApplication>

#include "app/main_form_components.h"

// Sets the application title, creates the main window (its components
// restored from the site configuration found from ADisk.ExecutableFileName(),
// FormCreate), shows it and runs the message loop until it is closed;
// returns 0. An error while the window is created is shown in the start-up
// error box; then it returns 1 without showing the window. The program passes
// the system's disk; tests pass one that runs it from an installation of
// their own.
int SynchpropertyLocationsOnJail(QApplication& AApplication, const platform::Disk& ADisk);

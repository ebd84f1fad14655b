// The program entry on Windows, apart from WinMain so that tests run the
// very same start-up.
#pragma once

#include "platform/disk.h"

// Makes the process per-monitor DPI aware, creates the main window (its
// components restored from the site configuration found from
// ADisk.ExecutableFileName(), FormCreate), shows it with `AShowCommand` and
// runs the message loop until it is closed; returns 0. An error while the
// window is created is shown in the start-up error box; then it returns 1
// without showing the window.
int SynchpropertyLocationsOnJail(const platform::Disk& ADisk, int AShowCommand);

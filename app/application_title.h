// The title the program entry gives the application: it captions the
// program's taskbar entry and every message box.
#pragma once

inline constexpr char kApplicationTitle[] = "Synch Property Locations";

// synch-property-locations: the window program on Windows.
#include <windows.h>

#include "app/win32_program_entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int AShowCommand) {
  return SynchpropertyLocationsOnJail(platform::SystemDisk(), AShowCommand);
}

#include "app/win32_program_entry.h"

#include <windows.h>

#include <memory>

#include "app/win32_error_boxes.h"
#include "app/win32_main_form.h"

namespace {

void RunMessageLoop(HWND AWindow) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Tab and the arrow keys move the focus between the window's controls.
    if (IsDialogMessageW(AWindow, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

int SynchpropertyLocationsOnJail(const platform::Disk& ADisk, int AShowCommand) {
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  std::unique_ptr<TfrmSynchPropertyLocationsMain> window;
  try {
    window = std::make_unique<TfrmSynchPropertyLocationsMain>(ADisk);
  } catch (...) {
    ShowApplicationErrorBox(std::current_exception());
    return 1;
  }
  window->Show(AShowCommand);
  RunMessageLoop(window->Handle());
  return 0;
}

// Owners of the Win32 handles the window holds: each frees its handle once.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Detaches the window from the object its procedure serves (GWLP_USERDATA)
// before destroying it, so that no half-destroyed object hears of it.
struct TWindowDestroyer {
  void operator()(HWND AWindow) const {
    SetWindowLongPtrW(AWindow, GWLP_USERDATA, 0);
    DestroyWindow(AWindow);
  }
};
// A window, destroyed with its children unless the system destroyed it first
// (then release() it).
using TOwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, TWindowDestroyer>;

struct TGdiObjectDeleter {
  void operator()(HGDIOBJ AObject) const { DeleteObject(AObject); }
};
using TOwnedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, TGdiObjectDeleter>;

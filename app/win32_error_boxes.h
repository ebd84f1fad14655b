// The error boxes of the application itself, for errors nobody else caught,
// as the system's message boxes.
#pragma once

#include <windows.h>

#include <exception>

// The start-up error box: captioned "Application Error", naming the error's
// class and message (ApplicationErrorText). Returns when it is closed.
void ShowApplicationErrorBox(std::exception_ptr AError);

// The default handler's box for an error that escaped a click handler
// (DefaultHandlerBox), modal over `AOwner`. Returns when it is closed.
void ShowDefaultHandlerBox(HWND AOwner, std::exception_ptr AError);

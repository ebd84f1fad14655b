// The error boxes of the application itself, for errors nobody else caught.
#pragma once

#include <QWidget>
#include <exception>

// The start-up error box: captioned "Application Error", naming the error's
// class and message (ApplicationErrorText). Returns when it is closed.
void ShowApplicationErrorBox(std::exception_ptr AError);

// The default handler's box for an error that escaped a click handler
// (DefaultHandlerBox), modal over `AParent`. Returns when it is closed.
void ShowDefaultHandlerBox(QWidget* AParent, std::exception_ptr AError);

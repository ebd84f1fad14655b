// What the operator reads about an error nobody caught: the start-up error
// box, and the application's default handler for errors escaping a click.
#pragma once

#include <exception>
#include <string>

// The caption of the box for an error that is not an Exception, and of every
// start-up error box.
inline constexpr char kApplicationErrorCaption[] = "Application Error";

// The start-up error box's text: the raised object's class and its message,
// "EMSError: Login failed", or "Unknown error" for an object that is not a
// std::exception.
std::string ApplicationErrorText(std::exception_ptr AError);

struct TErrorBox {
  std::string Caption;
  std::string Text;
};

// The default handler's box: for an Exception its message, with a full stop
// added when the message ends in a character coded above ".", captioned with
// the application title; for any other object ApplicationErrorText under
// kApplicationErrorCaption.
TErrorBox DefaultHandlerBox(std::exception_ptr AError);

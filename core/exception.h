// The root of every error the program raises. Handlers read only Message().
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
 public:
  // An error whose message is `AMessage` (UTF-8).
  explicit Exception(std::string AMessage);

  const std::string& Message() const { return FMessage; }
  // The message, for handlers that only know std::exception.
  const char* what() const noexcept override;

 private:
  std::string FMessage;
};

// Errors and informational messages as SQL Server reports them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace standin {

// One ERROR (severity above 10) or INFO (10 or below) record.
struct ServerMessage {
  std::int32_t number = 0;
  std::uint8_t state = 1;
  std::uint8_t severity = 16;
  std::string text;
  std::string procedure;  // empty outside a procedure
  std::int32_t line = 1;  // line of the batch the statement starts on

  bool IsError() const { return severity > 10; }
};

// A failure carrying every record SQL Server would send for it, in order.
class ServerError : public std::runtime_error {
 public:
  explicit ServerError(ServerMessage message)
      : ServerError(std::vector<ServerMessage>{std::move(message)}) {}
  explicit ServerError(std::vector<ServerMessage> messages)
      : std::runtime_error(messages.empty() ? std::string() : messages.back().text),
        messages_(std::move(messages)) {}

  const std::vector<ServerMessage>& messages() const { return messages_; }

 private:
  std::vector<ServerMessage> messages_;
};

}  // namespace standin

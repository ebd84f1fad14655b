// The failure raised when a client sends bytes that do not form a valid request.
// It ends the offending session only.
#pragma once

#include <stdexcept>
#include <string>

namespace standin::tds {

class ProtocolError : public std::runtime_error {
 public:
  explicit ProtocolError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace standin::tds

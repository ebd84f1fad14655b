#include "core/exception.h"

#include <utility>

Exception::Exception(std::string AMessage) : FMessage(std::move(AMessage)) {}

const char* Exception::what() const noexcept {
  return FMessage.c_str();
}

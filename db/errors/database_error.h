// EDatabaseError: dataset errors and the layer's own checks, and the rule that
// puts a component's name in front of the messages raised for it.
#pragma once

#include <string>

#include "core/component.h"
#include "core/exception.h"

class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
};

// `AMessage` as raised for `AComponent`: "Name: message"; "Owner.Name:
// message" for a subcomponent whose owner has a name; the bare message for a
// component without a name or for none.
std::string ComponentMessage(const TComponent* AComponent, const std::string& AMessage);

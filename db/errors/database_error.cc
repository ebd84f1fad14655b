#include "db/errors/database_error.h"

std::string ComponentMessage(const TComponent* AComponent, const std::string& AMessage) {
  if (AComponent == nullptr || AComponent->Name().empty()) return AMessage;
  const TComponent* owner = AComponent->Owner();
  if (AComponent->IsSubComponent() && owner != nullptr && !owner->Name().empty()) {
    return owner->Name() + "." + AComponent->Name() + ": " + AMessage;
  }
  return AComponent->Name() + ": " + AMessage;
}

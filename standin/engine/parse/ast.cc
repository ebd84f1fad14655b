#include "parse/ast.h"

namespace standin::engine {

std::string ObjectName::Written() const {
  if (!database.empty()) return database + "." + schema + "." + object;
  if (!schema.empty()) return schema + "." + object;
  return object;
}

}  // namespace standin::engine

#include "procedures/procedure_args.h"

#include <variant>

#include "values/collation.h"

namespace standin::engine {

const Param* Arg(const std::vector<Param>& params, std::size_t position, const char* name) {
  for (const Param& p : params)
    if (!p.name.empty() && CompareCi(p.name, name) == 0) return &p;
  if (position < params.size() && params[position].name.empty()) return &params[position];
  return nullptr;
}

std::string ArgText(const Param* p) {
  if (!p) return std::string();
  if (auto* s = std::get_if<std::string>(&p->value)) return *s;
  if (auto* i = std::get_if<std::int64_t>(&p->value)) return std::to_string(*i);
  return std::string();
}

std::int32_t ArgInt(const Param* p) {
  if (p)
    if (auto* i = std::get_if<std::int64_t>(&p->value)) return static_cast<std::int32_t>(*i);
  return 0;
}

}  // namespace standin::engine

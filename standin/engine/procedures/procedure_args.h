// Reading the arguments of a procedure call, which clients pass by name or by
// position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sql_value.h"

namespace standin::engine {

// The argument named `name` (letter case ignored), or else the unnamed one at
// `position`; null when neither was passed.
const Param* Arg(const std::vector<Param>& params, std::size_t position, const char* name);

// The argument as text: its string, or an integer in decimal; empty when absent or null.
std::string ArgText(const Param* p);

// The argument as an integer; 0 when absent, null or not an integer.
std::int32_t ArgInt(const Param* p);

}  // namespace standin::engine

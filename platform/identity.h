// Who is working where: the names a record lock writes so that a refused
// operator learns who holds the record.
#pragma once

#include <string>

namespace platform {

// The name of the user logged on to this session (UTF-8); "unknown" when the
// system cannot say. Never throws.
std::string UserName();

// This computer's network name (UTF-8); "unknown" when the system cannot
// say. Never throws.
std::string ComputerName();

}  // namespace platform

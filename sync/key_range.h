// The key-range guard both passes apply to the keys they send.
#pragma once

#include <cstdint>

// `AKey` as a 32-bit integer. Keys travel as 32-bit integers through every
// statement, and a larger key taken as its low 32 bits would rewrite another
// row's flag, so a key outside that range throws Exception
// "Key <AKey> of <ATable> does not fit a 32-bit integer".
std::int32_t Int32Key(std::int64_t AKey, const char* ATable);

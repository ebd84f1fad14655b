// Jails drawn at random from a seed, with the irregularities a site's data
// has: NULL in every column the passes read, booking numbers written in
// another case or with trailing blanks, released and kept items, items in
// containers of other locations or of none, containers of no location,
// crowded containers, and keys at the edges of the 32-bit range or past them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sync_test {

// Where the keys lie.
enum class JailKeys {
  kOrdinary,
  kAtLimits,             // INT32_MIN, INT32_MAX and their neighbours, in range
  kLocationBeyond,       // one location key past the 32-bit range
  kContainerBeyondHeld,  // one container key past it, at a location holding property
  kContainerBeyondFree,  // one container key past it, at a location holding none
};

struct RandomJailOptions {
  int locations = 10;
  std::uint64_t seed = 1;
  JailKeys keys = JailKeys::kOrdinary;
};

// INSERT statements (at most 1000 rows each) filling CFGPROPL, CFGPROPC,
// WARDERLY, WRIPROP and WRPITEMS, which must be empty; the same options
// always give the same statements.
std::vector<std::string> RandomJailInserts(const RandomJailOptions& AOptions);

}  // namespace sync_test

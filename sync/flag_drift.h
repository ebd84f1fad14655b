// How far the AVAILABLE flags had drifted before a pass: the flags it
// changed, or in a dry run would have changed. Counted against the values its
// open tables read when they were opened, so no request is spent on it.
#pragma once

#include "db/values/variant.h"

struct TFlagDrift {
  int Locations = 0;
  int Containers = 0;
};

// Whether a pass writes the flags it decides, or only decides and logs them.
enum class TFlagWrites { Write, DryRun };

// Whether writing `ADecided` over the AVAILABLE value `ARead` changes it; a
// NULL flag always changes.
bool FlagChanges(const TVariant& ARead, bool ADecided);

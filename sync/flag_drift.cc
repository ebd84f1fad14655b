#include "sync/flag_drift.h"

#include "db/values/variant_convert.h"

bool FlagChanges(const TVariant& ARead, bool ADecided) {
  return ARead.IsNull() || VariantToBoolean(ARead) != ADecided;
}

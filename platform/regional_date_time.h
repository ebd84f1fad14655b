// The workstation's clock and the general date-and-time form an operator
// reads times in.
#pragma once

#include <string>

#include "core/date_time.h"

namespace platform {

// The local date and time now, to the millisecond.
TDateTime LocalNow();

// `AValue` in the general form: the short date, then, unless the time of day
// is exactly midnight, a space and the long time. On POSIX hosts the short
// date and long time are the current LC_TIME locale's D_FMT and T_FMT
// ("%m/%d/%y" and "%H:%M:%S" in the C locale); on Windows the user's
// regional short date and long time formats.
std::string GeneralDateTimeText(TDateTime AValue);

}  // namespace platform

// Which server errors break the session they arrive on.
#pragma once

#include "db/errors/client_errors.h"

// True when `AError` leaves its session unusable: severity class 20 or more;
// or state 1 with severity class 16 and error number 17 or lower, 64, 232,
// 233 or 10054; or state 1 with severity class 10 and error number 10054.
bool IsFatalServerError(const EMSError& AError);

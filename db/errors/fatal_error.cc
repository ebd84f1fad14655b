#include "db/errors/fatal_error.h"

bool IsFatalServerError(const EMSError& AError) {
  const int number = AError.MSSQLErrorCode();
  const int severity = AError.SeverityClass();
  if (severity >= 20) return true;
  if (AError.State() != 1) return false;
  // The numbers a client reports for a broken network link (socket and pipe errors).
  const bool link_error = number <= 17 || number == 64 || number == 232 || number == 233;
  return (severity == 16 && (link_error || number == 10054)) || (severity == 10 && number == 10054);
}

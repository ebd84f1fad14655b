#include "db/locking/query.h"

void TVtMSQuery::Loaded() {
  TVtCustomMSQuery::Loaded();
  if (ComponentState().Contains(csDesigning)) return;
  if (FIndexDefs.Count() > 0 || !FAutoLoadIndexDefs || !FIndexName.empty() || !FTableName.empty()) {
    throw Exception("TVtMSQuery '" + Name() + "' must be converted to TVtMSSearchQuery");
  }
}

// TVtMSTable: the program's table dataset, a TMSTable that locks the record
// it edits or deletes (db/locking/dataset.h).
#pragma once

#include "db/locking/dataset.h"
#include "db/sqlserver/table.h"

class TVtMSTable : public TVtLockingDataSet<TMSTable> {
 public:
  explicit TVtMSTable(TComponent* AOwner) : TVtLockingDataSet<TMSTable>(AOwner) {}
};

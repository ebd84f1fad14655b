// TMSQuery: the query dataset the program declares; SQL holds its statement.
#pragma once

#include "db/sqlserver/dataset.h"

class TMSQuery : public TCustomMSDataSet {
 public:
  explicit TMSQuery(TComponent* AOwner) : TCustomMSDataSet(AOwner) {}
};

// TMSQuery: the query dataset the program declares; SQL holds its statement.
#pragma once

#include "db/ms_dataset.h"

class TMSQuery : public TCustomMSDataSet {
 public:
  explicit TMSQuery(TComponent* AOwner) : TCustomMSDataSet(AOwner) {}
};

// The main window's property-table components by name: the table datasets
// with their declared fields, the data sources, the container dataset as a
// detail of the location dataset, and the reusable query, all on the
// window's connection. The window restores them from its stored description
// (app/main_form_description.h); the pass takes its datasets from here.
#pragma once

#include <vector>

#include "core/component.h"
#include "db/dataset/data_source.h"
#include "db/sqlserver/query.h"
#include "db/sqlserver/table.h"

// The datasets are the program's record-locking TVtMSTable / TVtMSQuery; the
// pass needs only what TMSTable / TMSQuery give, so the members say no more.
struct TPropertyComponents {
  TMSTable* tblWarderly;
  TMSTable* tblCFGPropertyContainers;
  TMSQuery* qryGeneric;
  TMSTable* tblCFGPropertyLocation;
  TDataSource* dtsWarderly;
  TDataSource* dtsCFGPropertyLocations;
  TDataSource* dtsCFGPropertyContainers;
  TMSTable* tblInmProperty;
  TDataSource* dtsInmProperty;
  TMSTable* tblInmPropertyItems;
  TDataSource* dtsInmPropertyItems;

  // The eleven components above, in that order (the window's creation order).
  std::vector<TComponent*> InCreationOrder() const;
};

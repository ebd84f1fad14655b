// The main window's property-table components: the table datasets with their
// declared fields, the data sources, the container dataset as a detail of the
// location dataset, and the reusable query, all on one connection.
#pragma once

#include <vector>

#include "core/component.h"
#include "db/data_source.h"
#include "db/ms_connection.h"
#include "db/ms_query.h"
#include "db/ms_table.h"

// The components by name. Until the program's locking dataset classes exist,
// the datasets are plain TMSTable / TMSQuery carrying the options those
// classes set: QuoteNames, TrimVarChar and RefreshOptions {roBeforeEdit}.
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

// Creates the components, closed and named, owned by `AOwner` (not null),
// which frees them; each declared field is owned by `AOwner` too and named
// after its dataset and column ("tblCFGPropertyLocationLOCKEY"). Every
// dataset uses `AConnection` (not owned; may be null).
TPropertyComponents CreatePropertyComponents(TComponent* AOwner, TCustomMSConnection* AConnection);

#include "sync/property_components.h"

std::vector<TComponent*> TPropertyComponents::InCreationOrder() const {
  return {tblWarderly,
          tblCFGPropertyContainers,
          qryGeneric,
          tblCFGPropertyLocation,
          dtsWarderly,
          dtsCFGPropertyLocations,
          dtsCFGPropertyContainers,
          tblInmProperty,
          dtsInmProperty,
          tblInmPropertyItems,
          dtsInmPropertyItems};
}

#include "app/main_form_description.h"

#include <stdexcept>
#include <string>

#include "config/published_config.h"
#include "core/description_reader.h"
#include "db/published/classes.h"

namespace {

// The component named `AName` among `AComponents`, of class T.
template <class T>
T* Find(const std::vector<TComponent*>& AComponents, const std::string& AName) {
  for (TComponent* component : AComponents) {
    if (component->Name() != AName) continue;
    if (auto* found = dynamic_cast<T*>(component)) return found;
  }
  throw std::logic_error("the main window's description has no " + AName + " of its class");
}

TMainFormNonVisual ByName(const std::vector<TComponent*>& AComponents) {
  TMainFormNonVisual c{};
  c.tblWarderly = Find<TMSTable>(AComponents, "tblWarderly");
  c.tblCFGPropertyContainers = Find<TMSTable>(AComponents, "tblCFGPropertyContainers");
  c.qryGeneric = Find<TMSQuery>(AComponents, "qryGeneric");
  c.tblCFGPropertyLocation = Find<TMSTable>(AComponents, "tblCFGPropertyLocation");
  c.dtsWarderly = Find<TDataSource>(AComponents, "dtsWarderly");
  c.dtsCFGPropertyLocations = Find<TDataSource>(AComponents, "dtsCFGPropertyLocations");
  c.dtsCFGPropertyContainers = Find<TDataSource>(AComponents, "dtsCFGPropertyContainers");
  c.tblInmProperty = Find<TMSTable>(AComponents, "tblInmProperty");
  c.dtsInmProperty = Find<TDataSource>(AComponents, "dtsInmProperty");
  c.tblInmPropertyItems = Find<TMSTable>(AComponents, "tblInmPropertyItems");
  c.dtsInmPropertyItems = Find<TDataSource>(AComponents, "dtsInmPropertyItems");
  c.dbJail = Find<TVtSQLDatabase>(AComponents, "dbJail");
  c.VtConfigInfo = Find<TVtConfigInfo>(AComponents, "VtConfigInfo");
  return c;
}

}  // namespace

TMainFormNonVisual RestoreMainForm(TComponent* AOwner, const platform::Disk& ADisk) {
  const std::vector<TComponent*> components =
      ReadComponents(MainFormDescription(), *AOwner, MainFormClasses(ADisk));
  try {
    return ByName(components);
  } catch (...) {
    for (auto it = components.rbegin(); it != components.rend(); ++it) delete *it;
    throw;
  }
}

TClassRegistry MainFormClasses(const platform::Disk& ADisk) {
  TClassRegistry classes;
  RegisterConnectionClasses(classes);
  RegisterVtDatabaseClasses(classes);
  RegisterDataSetClasses(classes);
  RegisterFieldClasses(classes);
  RegisterConfigClasses(classes, ADisk);
  return classes;
}

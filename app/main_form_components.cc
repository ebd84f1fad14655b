#include "app/main_form_components.h"

#include <memory>

#include "sync/set_based_pass.h"
#include "sync/synch_pass.h"
#include "sync/whole_table.h"

TMainFormComponents::TMainFormComponents(const platform::Disk& ADisk)
    : TComponent(nullptr), FNonVisual(RestoreMainForm(this, ADisk)) {
  SetName("frmSynchPropertyLocationsMain");
}

TMainFormComponents::~TMainFormComponents() {
  DestroyComponents();
}

void TMainFormComponents::FormCreate() {
  FNonVisual.tblInmProperty->SetOrderFields("BOOKNO");
}

TFlagDrift TMainFormComponents::GoSynchPropertyLocations(ISynchView& AView, TFlagWrites AWrites) {
  return ::GoSynchPropertyLocations(AView, *FNonVisual.tblCFGPropertyLocation,
                                    *FNonVisual.tblCFGPropertyContainers, *FNonVisual.qryGeneric,
                                    AWrites);
}

TFlagDrift TMainFormComponents::GoSynchPropertyLocationsSetBased(ISynchView& AView,
                                                                 TFlagWrites AWrites) {
  const std::unique_ptr<TMSTable> containers =
      MakeWholeTable(*FNonVisual.dbJail, PropertyTableDeclaration("tblCFGPropertyContainers"));
  return ::GoSynchPropertyLocationsSetBased(AView, *FNonVisual.tblCFGPropertyLocation, *containers,
                                            *FNonVisual.qryGeneric, AWrites);
}

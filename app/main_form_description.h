// The main window's stored description: its non-visual components in
// creation order with their stored values, held as text in the program
// (main_form.dfm), and the restoring of it that the window and the console
// runner share. Qt-free.
#pragma once

#include <string_view>

#include "core/class_registry.h"
#include "core/component.h"
#include "db/ms_connection.h"
#include "sync/property_components.h"

// The restored components by name: the property tables' datasets and data
// sources (creation order: those of TPropertyComponents), then dbJail.
struct TMainFormNonVisual : TPropertyComponents {
  TMSConnection* dbJail;
};

// Restores the description into `AOwner` (not null), which owns and frees
// the components, in the three rounds of ReadComponents (core/
// description_reader.h); dbJail stays closed although stored as connected.
// On an error nothing restored stays in `AOwner` and the error passes on.
TMainFormNonVisual RestoreMainForm(TComponent* AOwner);

// The description's text as embedded in the program.
std::string_view MainFormDescription();

// The classes the description may name, with their published properties.
const TClassRegistry& MainFormClasses();

// The main window's stored description: its non-visual components in
// creation order with their stored values, held as text in the program
// (main_form.desc), and the restoring of it that the window and the console
// runner share. Qt-free.
#pragma once

#include <string_view>

#include "config/vt_config_info.h"
#include "core/class_registry.h"
#include "core/component.h"
#include "db/site/sql_database.h"
#include "platform/disk.h"
#include "sync/property_components.h"

// The restored components by name: the property tables' datasets and data
// sources (creation order: those of TPropertyComponents), then dbJail and
// VtConfigInfo.
struct TMainFormNonVisual : TPropertyComponents {
  TVtSQLDatabase* dbJail;
  TVtConfigInfo* VtConfigInfo;
};

// Restores the description into `AOwner` (not null), which owns and frees
// the components, in the three rounds of ReadComponents (core/
// description_reader.h): VtConfigInfo finds and reads the site configuration
// on `ADisk` (which must outlive the components) as the program started from
// ADisk.ExecutableFileName() would, and dbJail looks up its connect string
// for "JAIL" once, then stays closed although stored as connected. On an
// error (no configuration file, no ConnStr in it, a failed lookup) nothing
// restored stays in `AOwner` and the error passes on.
TMainFormNonVisual RestoreMainForm(TComponent* AOwner, const platform::Disk& ADisk);

// The description's text as embedded in the program.
std::string_view MainFormDescription();

// The classes the description may name, with their published properties;
// the configuration components they create look on `ADisk`.
TClassRegistry MainFormClasses(const platform::Disk& ADisk = platform::SystemDisk());

#include "core/read_error.h"
#include "db/published/classes.h"
#include "db/site/sql_database.h"

void RegisterVtDatabaseClasses(TClassRegistry& AClasses) {
  using Options = TVtSQLDatabaseOptions;
  AClasses.Persistent<Options>("TVtSQLDatabaseOptions", "TMSConnectionOptions")
      .Boolean("KeepDesignConnected", &Options::KeepDesignConnected,
               &Options::SetKeepDesignConnected, false)
      .Integer("DefaultLockTimeout", &Options::DefaultLockTimeout, &Options::SetDefaultLockTimeout,
               -1)
      .Defined("Provider", &Options::ReadProvider, &Options::WriteProvider);

  // After the inherited entries, so the link is resolved with the name set.
  using Database = TVtSQLDatabase;
  AClasses.Component<Database>("TVtSQLDatabase", "TMSConnection")
      .String("ProgramName", &Database::ProgramName, &Database::SetProgramName)
      .Reference<TComponent>(
          "VtConfigInfo",
          [](const Database& ADatabase) -> TComponent* {
            IVtConfigLookup* lookup = ADatabase.VtConfigInfo();
            return lookup == nullptr ? nullptr : &lookup->LookupComponent();
          },
          [](Database& ADatabase, TComponent* AComponent) {
            auto* lookup = dynamic_cast<IVtConfigLookup*>(AComponent);
            if (lookup == nullptr && AComponent != nullptr) {
              throw EReadError("Invalid property value");
            }
            ADatabase.SetVtConfigInfo(lookup);
          })
      .ReadOnly("VtVersion");
}

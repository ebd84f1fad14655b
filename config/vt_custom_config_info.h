// TVtCustomConfigInfo: the site settings (TVantorIni) with a program's row
// in the site's connection registry: its connection string, help file and
// log file, looked up by program identifier, and the list of registered
// programs. Derived classes decide how the registry is reached. Nothing is
// kept between calls: each one looks again, with the settings of the moment.
//
// Hosted in a visual designer (csDesigning), a failed lookup is not raised:
// the designer's dialog shows it and may switch SkipLookups on, which then
// silences the lookups of every instance. At run time SkipLookups reads
// False.
#pragma once

#include <functional>
#include <string>

#include "config/lookup_error_dialog.h"
#include "config/vantor_ini.h"
#include "db/access/sql_lines.h"
#include "db/site/config_lookup.h"

class TVtCustomConfigInfo : public TVantorIni, public IVtConfigLookup {
 public:
  // Reads the site configuration as TVantorIni's constructors do (and throws
  // as they do).
  explicit TVtCustomConfigInfo(TComponent* AOwner);
  TVtCustomConfigInfo(TComponent* AOwner, const platform::Disk& ADisk);

  // The value of column `AFieldName` in the registry row of `AProgramID`;
  // `ADefault` when that row says to use the site-wide value; empty when
  // there is no row. Errors of the registry pass on (see above for the
  // designer).
  virtual std::string LookupProgramValue(const std::string& AProgramID,
                                         const std::string& AFieldName,
                                         const std::string& ADefault) = 0;
  // The connection string registered for `AProgramID` (ConnectionString when
  // the row says to use the site's) with ConnectionStringOverlay applied;
  // empty when there is no row or it registers none, and, without asking the
  // registry, when ConnectionString or `AProgramID` is empty.
  std::string GetConnectString(const std::string& AProgramID) override;
  // The help file registered for `AProgramID`, or HelpFilePath when the row
  // says to use the site's; empty as GetConnectString.
  std::string GetHelpPath(const std::string& AProgramID) override;
  // The log file registered for `AProgramID`, or LogFilePath when the row
  // says to use the site's; empty as GetConnectString.
  std::string GetLogPath(const std::string& AProgramID) override;
  TComponent& LookupComponent() override { return *this; }
  // Replaces the lines of `APrograms` by every registered program
  // identifier, sorted. On an error `APrograms` keeps its lines.
  virtual void GetProgramList(TStrings& APrograms) = 0;

  // Shared by every instance, initially False; reads False, and writing is
  // ignored, unless this instance is hosted in a designer.
  bool SkipLookups() const;
  void SetSkipLookups(bool AValue);

  // The designer's dialog for failed lookups; none by default, and then
  // errors pass on even in the designer. Not owned; must outlive its use.
  void SetLookupErrorDialog(TLookupErrorDialog* ADialog) { FLookupErrorDialog = ADialog; }

 protected:
  // Runs `ALookup` and returns true. When it raises an Exception while this
  // instance is hosted in a designer with a dialog: asks the dialog whether
  // to skip lookups from now on (Yes sets SkipLookups) and returns false;
  // otherwise the error passes on.
  bool RunLookup(const std::function<void()>& ALookup);

 private:
  TLookupErrorDialog* FLookupErrorDialog = nullptr;
};

// TVtConfigInfo: the registry lookups against the site database's
// ConnectLib table (ProgramID, ConnString, HelpFile, LogFile, UseInitial),
// each through a connection and a read-only dataset of its own, opened with
// ConnectionString and freed again before the call returns, also on errors.
// Both queries read with "(readuncommitted)": the registry is read without
// shared locks, so a writer holding ConnectLib never makes a program wait.
#pragma once

#include <string>

#include "config/vt_custom_config_info.h"

class TVtConfigInfo : public TVtCustomConfigInfo {
 public:
  using TVtCustomConfigInfo::TVtCustomConfigInfo;

  // Nothing, without asking the server, while SkipLookups reads True.
  // Otherwise runs "SELECT <AFieldName>, UseInitial FROM ConnectLib
  // (readuncommitted) WHERE ProgramID = '<AProgramID>'" (quotes in the
  // identifier doubled) and, on the first row returned, gives `ADefault`
  // when UseInitial is True, else column `AFieldName` as text; a NULL reads
  // as empty, and as False for UseInitial. Empty when no row is returned.
  std::string LookupProgramValue(const std::string& AProgramID, const std::string& AFieldName,
                                 const std::string& ADefault) override;
  // Nothing while SkipLookups reads True. Otherwise runs "SELECT ProgramID
  // FROM ConnectLib (readuncommitted) ORDER BY ProgramID" and, once every
  // row has been read, replaces the lines of `APrograms` by the identifiers
  // in that order; on any error before then `APrograms` stays as it was.
  void GetProgramList(TStrings& APrograms) override;

  // Always "2.1".
  std::string VtVersion() const { return "2.1"; }
};

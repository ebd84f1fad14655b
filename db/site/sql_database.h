// TVtSQLDatabase: the program's connection. It takes its whole connect
// string from the site configuration, looked up under the program's name,
// and looks it up again before every opening, which it refuses when nothing
// is registered rather than fall back on the defaults; the server, database
// and login stored with it are only what a designer last saw. It never
// prompts, sends no lock time-out, does not reopen because it was stored
// open, and makes every dataset it creates a locking TVtMSQuery.
#pragma once

#include <optional>
#include <string>

#include "core/stored_value.h"
#include "db/site/config_lookup.h"
#include "db/sqlserver/connection.h"

class TVtSQLDatabase;

// KeepDesignConnected false and DefaultLockTimeout -1 by default; the
// provider is stored through the "Provider" entry, which remembers whether it
// was read as an identifier (prSQL) or as a provider string ("SQLOLEDB.1")
// and writes it back in that form.
class TVtSQLDatabaseOptions : public TMSConnectionOptions {
 public:
  explicit TVtSQLDatabaseOptions(TVtSQLDatabase* AOwner);

  // Reads the "Provider" entry: an identifier (prAuto, prSQL, prNativeClient,
  // prCompact) sets Provider; a string the connect string's Provider key
  // accepts sets Provider and both versions. Throws EReadError "Invalid
  // property value" for anything else.
  void ReadProvider(const TStoredValue& AValue);
  // The "Provider" entry to store: in the form it was read (a string for the
  // current provider and versions, else the identifier); none when Provider
  // is prAuto, unless read as a string that the current values still render.
  std::optional<TStoredValue> WriteProvider() const;

 private:
  TStoredValueKind FLoadedProviderValueType = svIdent;
  std::string FLoadedProviderText;
};

class TVtSQLDatabase : public TMSConnection {
 public:
  // A closed connection with an empty connect string, no prompt and no link.
  // In a designer it links the owner's first IVtConfigLookup component.
  explicit TVtSQLDatabase(TComponent* AOwner);

  // The program identifier the lookups use. Setting a non-empty name applies
  // the configuration (nothing without a link); emptying a set name clears
  // the connect string. Lookup and connect-string errors pass on.
  const std::string& ProgramName() const { return FProgramName; }
  void SetProgramName(const std::string& AValue);

  // The configuration that answers the lookups; not owned, and at run time
  // it must outlive every opening. Setting one applies the configuration
  // when ProgramName is set; setting none clears the connect string when
  // ProgramName is set. Errors pass on with the new link kept.
  IVtConfigLookup* VtConfigInfo() const { return FVtConfigInfo; }
  void SetVtConfigInfo(IVtConfigLookup* AValue);

  TVtSQLDatabaseOptions& Options() const {
    return static_cast<TVtSQLDatabaseOptions&>(TMSConnection::Options());
  }
  // Copies `AValue`'s option values into this connection's own options; the
  // form the "Provider" entry was read in stays this connection's.
  void SetOptions(const TMSConnectionOptions& AValue) { Options().Assign(AValue); }

  // Always "2.1".
  std::string VtVersion() const { return "2.1"; }
  // The link's GetHelpPath / GetLogPath for ProgramName; empty without a link.
  std::string HelpFilePath() const;
  std::string LogFilePath() const;

  // A new TVtMSQuery (record locks on) owned by `AOwner` (or the caller when
  // null), designing exactly when this connection is, bound to it.
  TCustomDADataSet* CreateDataSet(TComponent* AOwner) override;

 protected:
  // In a designer only: the linked configuration going away drops the link.
  void Notification(TComponent* AComponent, TOperation AOperation) override;
  // Applies the configuration, then connects with the resulting settings.
  // Linked, it throws EDatabaseError "No connection is registered for
  // program <ProgramName> in ConnectLib" instead when the answer is empty.
  void DoConnect() override;

 private:
  // ConnectString := the link's answer for ProgramName (none without a
  // link), then LoginPrompt := false, since the assignment resets it.
  // Returns the answer; empty without a link.
  std::string ApplyConfiguration();
  // ConnectString := "", then LoginPrompt := false.
  void ClearConnectString();

  std::string FProgramName;
  IVtConfigLookup* FVtConfigInfo = nullptr;
  // The linked configuration as a component: its address alone identifies
  // it in a removal notice, when it is partly destroyed already.
  TComponent* FVtConfigComponent = nullptr;
};

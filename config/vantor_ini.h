// TVantorIni: the site settings component. It locates the site configuration
// file (ini_file_location.h), reads the help and log paths, the paging
// switch, the server key, the library path and the base connection string
// from it, and lays its own overlay over that connection string. A designer
// may give the file name, or all settings, on the component instead; writing
// a setting is refused while its override switch is off.
//
// What is read when:
//   event                          | detects IsMobile | locates file | reads file
//   Loaded (and the constructor)   | unless OS        | unless OIFN  | unless OS
//   OverrideIniFileName := False   | unless OS        | yes          | unless OS
//   OverrideIniFileName := True    | unless OS        | no           | no
//   OverrideSettings := False      | no               | no           | yes
//   VantorIni := name              | no               | no           | unless OS
// (OS: OverrideSettings, OIFN: OverrideIniFileName.) Nothing else reads, and
// nothing is cached: ConnectionString applies the overlay on every read.
#pragma once

#include <string>

#include "core/component.h"
#include "platform/disk.h"

class TVantorIni : public TComponent {
 public:
  // Locates and reads the site configuration file at once (the load
  // sequence of Loaded()): a component restored from a stored description is
  // marked loading only after its constructor returns, so it reads here with
  // every property at its default, and again in Loaded(). Throws as Loaded().
  explicit TVantorIni(TComponent* AOwner);
  // The same, on the files and drives of `ADisk`, which must outlive the
  // component.
  TVantorIni(TComponent* AOwner, const platform::Disk& ADisk);

  // Ends loading, then: detects IsMobile unless OverrideSettings; locates the
  // file from the program's own name unless OverrideIniFileName; reads it
  // unless OverrideSettings. Throws EIniFileException "Vantor.ini not found."
  // or "Rovane.ini not found" when the search fails (VantorIni unchanged),
  // EIniFileException "Database connection information not found in <file>
  // (DataProvider.ConnStr)" when the file has no non-empty ConnStr (the other
  // values read stay), EFOpenError when the file exists but cannot be opened
  // (every value unchanged).
  void Loaded() override;

  // `AOriginal` with `AOverlay` laid over it (connection_string_overlay.h).
  static std::string ApplyConnectionStringOverlay(const std::string& AOriginal,
                                                  const std::string& AOverlay);

  // Switching it on keeps VantorIni as last found; switching it off locates
  // and reads the file again. Either way IsMobile is detected again unless
  // OverrideSettings. Throws as Loaded().
  bool OverrideIniFileName() const { return FOverrideIniFileName; }
  void SetOverrideIniFileName(bool AValue);
  // Switching it off reads the file named by VantorIni again (IsMobile stays).
  bool OverrideSettings() const { return FOverrideSettings; }
  void SetOverrideSettings(bool AValue);

  // The settings' setters throw Exception "Cannot set <Property> when
  // OverrideSettings is False" while OverrideSettings is off, keeping the old
  // value; they read nothing.
  bool PagingEnabled() const { return FPagingEnabled; }
  void SetPagingEnabled(bool AValue);
  // Whether the program's folder holds "Rovane.ini"; only a report, the
  // search makes its own test.
  bool IsMobile() const { return FIsMobile; }
  void SetIsMobile(bool AValue);
  // The configuration file in use. Setting it throws Exception "Cannot set
  // VantorIni when OverrideIniFileName is False" while OverrideIniFileName is
  // off, and EIniFileException "File not found: '<name>'" (quotes in the name
  // doubled) when no file has that name; otherwise it reads the file unless
  // OverrideSettings.
  const std::string& VantorIni() const { return FVantorIni; }
  void SetVantorIni(const std::string& AValue);
  // The base connection string with ConnectionStringOverlay applied, afresh
  // on every read. Setting it sets the base.
  std::string ConnectionString() const;
  void SetConnectionString(const std::string& AValue);
  // Kept as given; never guarded, never read from the file.
  const std::string& ConnectionStringOverlay() const { return FConnectionStringOverlay; }
  void SetConnectionStringOverlay(const std::string& AValue);
  const std::string& HelpFilePath() const { return FHelpFilePath; }
  void SetHelpFilePath(const std::string& AValue);
  const std::string& LogFilePath() const { return FLogFilePath; }
  void SetLogFilePath(const std::string& AValue);
  const std::string& ServerKey() const { return FServerKey; }
  void SetServerKey(const std::string& AValue);
  // LibPathUnexpanded expanded against VantorIni (lib_path.h), in Windows
  // form on every host. Throws Exception when the current directory cannot
  // be told.
  std::string LibPath() const;
  const std::string& LibPathUnexpanded() const { return FLibPathUnexpanded; }
  void SetLibPathUnexpanded(const std::string& AValue);

 private:
  void DetectMobile();
  void LocateFile();
  void ReadSettings();
  void CheckSettingsOverridden(const char* AProperty) const;

  const platform::Disk& FDisk;
  bool FOverrideSettings = false;
  bool FOverrideIniFileName = false;
  bool FPagingEnabled = false;
  std::string FLogFilePath;
  std::string FHelpFilePath;
  std::string FLibPathUnexpanded;
  std::string FVantorIni;
  bool FIsMobile = false;
  std::string FServerKey;
  std::string FBaseConnectionString;
  std::string FConnectionStringOverlay;
};

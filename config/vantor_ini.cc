#include "config/vantor_ini.h"

#include "config/connection_string_overlay.h"
#include "config/ini_file_exception.h"
#include "config/ini_file_location.h"
#include "config/ini_file_reader.h"
#include "config/lib_path.h"
#include "config/path_text.h"
#include "core/exception.h"
#include "platform/full_path_name.h"

namespace {

// `AText` in single quotes, each quote inside doubled.
std::string Quoted(const std::string& AText) {
  std::string quoted = "'";
  for (char c : AText) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

}  // namespace

TVantorIni::TVantorIni(TComponent* AOwner) : TVantorIni(AOwner, platform::SystemDisk()) {}

TVantorIni::TVantorIni(TComponent* AOwner, const platform::Disk& ADisk)
    : TComponent(AOwner), FDisk(ADisk) {
  TVantorIni::Loaded();
}

void TVantorIni::Loaded() {
  TComponent::Loaded();
  DetectMobile();
  if (!FOverrideIniFileName) LocateFile();
  ReadSettings();
}

std::string TVantorIni::ApplyConnectionStringOverlay(const std::string& AOriginal,
                                                     const std::string& AOverlay) {
  return OverlayConnectionString(AOriginal, AOverlay);
}

void TVantorIni::DetectMobile() {
  if (FOverrideSettings) return;
  FIsMobile = MobileIniExists(Trim(FolderPart(FDisk.ExecutableFileName())), FDisk);
}

void TVantorIni::LocateFile() {
  FVantorIni = LocateIniFile(Trim(FDisk.ExecutableFileName()), FDisk);
}

void TVantorIni::ReadSettings() {
  if (FOverrideSettings) return;
  const TIniValues file = ReadIniFile(FVantorIni, FDisk);
  FHelpFilePath = file.ReadString("Paths", "HelpPath", "");
  FLogFilePath = file.ReadString("Paths", "LogPath", "");
  FPagingEnabled = file.ReadBool("Paging", "Enabled", false);
  FServerKey = file.ReadString("Server", "ServerKey", "");
  FLibPathUnexpanded = file.ReadString("Paths", "LibPath", "");
  FBaseConnectionString = file.ReadString("DataProvider", "ConnStr", "");
  if (FBaseConnectionString.empty() && !ComponentState().Contains(csDesigning)) {
    throw EIniFileException("Database connection information not found in " + FVantorIni +
                            " (DataProvider.ConnStr)");
  }
}

void TVantorIni::CheckSettingsOverridden(const char* AProperty) const {
  if (!FOverrideSettings) {
    throw Exception(std::string("Cannot set ") + AProperty + " when OverrideSettings is False");
  }
}

void TVantorIni::SetOverrideIniFileName(bool AValue) {
  FOverrideIniFileName = AValue;
  DetectMobile();
  if (AValue) return;
  LocateFile();
  ReadSettings();
}

void TVantorIni::SetOverrideSettings(bool AValue) {
  FOverrideSettings = AValue;
  if (!AValue) ReadSettings();
}

void TVantorIni::SetPagingEnabled(bool AValue) {
  CheckSettingsOverridden("PagingEnabled");
  FPagingEnabled = AValue;
}

void TVantorIni::SetIsMobile(bool AValue) {
  CheckSettingsOverridden("IsMobile");
  FIsMobile = AValue;
}

void TVantorIni::SetVantorIni(const std::string& AValue) {
  if (!FOverrideIniFileName) {
    throw Exception("Cannot set VantorIni when OverrideIniFileName is False");
  }
  if (!FDisk.FindFile(AValue)) throw EIniFileException("File not found: " + Quoted(AValue));
  FVantorIni = AValue;
  ReadSettings();
}

std::string TVantorIni::ConnectionString() const {
  return OverlayConnectionString(FBaseConnectionString, FConnectionStringOverlay);
}

void TVantorIni::SetConnectionString(const std::string& AValue) {
  CheckSettingsOverridden("ConnectionString");
  FBaseConnectionString = AValue;
}

void TVantorIni::SetConnectionStringOverlay(const std::string& AValue) {
  FConnectionStringOverlay = AValue;
}

void TVantorIni::SetHelpFilePath(const std::string& AValue) {
  CheckSettingsOverridden("HelpFilePath");
  FHelpFilePath = AValue;
}

void TVantorIni::SetLogFilePath(const std::string& AValue) {
  CheckSettingsOverridden("LogFilePath");
  FLogFilePath = AValue;
}

void TVantorIni::SetServerKey(const std::string& AValue) {
  CheckSettingsOverridden("ServerKey");
  FServerKey = AValue;
}

std::string TVantorIni::LibPath() const {
  return ExpandLibPath(FLibPathUnexpanded, platform::WindowsFormOfName(FVantorIni));
}

void TVantorIni::SetLibPathUnexpanded(const std::string& AValue) {
  CheckSettingsOverridden("LibPathUnexpanded");
  FLibPathUnexpanded = AValue;
}

#include "config/vt_custom_config_info.h"

#include "core/exception.h"

namespace {

// Once a designer's user has chosen to skip lookups, every component in that
// designer stays quiet, not just the one that failed.
bool GSkipLookups = false;

}  // namespace

TVtCustomConfigInfo::TVtCustomConfigInfo(TComponent* AOwner) : TVantorIni(AOwner) {}

TVtCustomConfigInfo::TVtCustomConfigInfo(TComponent* AOwner, const platform::Disk& ADisk)
    : TVantorIni(AOwner, ADisk) {}

std::string TVtCustomConfigInfo::GetConnectString(const std::string& AProgramID) {
  const std::string site = ConnectionString();
  if (site.empty() || AProgramID.empty()) return "";
  const std::string registered = LookupProgramValue(AProgramID, "ConnString", site);
  // A row that defers to the site yields the already overlaid site string;
  // the overlay goes over it once more, as over any registered string.
  if (registered.empty()) return "";
  return ApplyConnectionStringOverlay(registered, ConnectionStringOverlay());
}

std::string TVtCustomConfigInfo::GetHelpPath(const std::string& AProgramID) {
  if (ConnectionString().empty() || AProgramID.empty()) return "";
  return LookupProgramValue(AProgramID, "HelpFile", HelpFilePath());
}

std::string TVtCustomConfigInfo::GetLogPath(const std::string& AProgramID) {
  if (ConnectionString().empty() || AProgramID.empty()) return "";
  return LookupProgramValue(AProgramID, "LogFile", LogFilePath());
}

bool TVtCustomConfigInfo::SkipLookups() const {
  return ComponentState().Contains(csDesigning) && GSkipLookups;
}

void TVtCustomConfigInfo::SetSkipLookups(bool AValue) {
  if (ComponentState().Contains(csDesigning)) GSkipLookups = AValue;
}

bool TVtCustomConfigInfo::RunLookup(const std::function<void()>& ALookup) {
  try {
    ALookup();
    return true;
  } catch (const Exception& error) {
    if (!ComponentState().Contains(csDesigning) || FLookupErrorDialog == nullptr) throw;
    if (FLookupErrorDialog->AskYesNo("Exception: " + error.Message() +
                                     "\r\n\r\nDo you want to skip similar lookup operations?")) {
      GSkipLookups = true;
    }
    return false;
  }
}

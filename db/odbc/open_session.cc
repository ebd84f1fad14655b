#include "db/odbc/open_session.h"

#include <optional>
#include <string>

#include "db/errors/client_errors.h"
#include "db/odbc/driver_trace.h"

#ifndef _WIN32
#include "db/odbc/encryption_probe.h"
#include "db/odbc/freetds_environment.h"
#include "db/odbc/freetds_trust.h"
#endif

namespace odbc {
namespace {

// `ASettings` with the driver's trace the operator asked for, where FreeTDS
// can write one.
ConnectSettings Traced(const ConnectSettings& ASettings) {
  ConnectSettings settings = ASettings;
  if (IsFreeTds(ASettings)) settings.DumpFile = DriverTraceFile();
  return settings;
}

}  // namespace

#ifdef _WIN32

// Windows' drivers take Encrypt and TrustServerCertificate from the
// connection string and say themselves why a certificate fails.
void OpenSession(Connection& ASession, const ConnectSettings& ASettings) {
  ASession.DriverConnect(ConnectionString(Traced(ASettings)));
}

#else

namespace {

// The port FreeTDS connects to; nullopt for a named instance, whose port
// only the server's browser service knows.
std::optional<int> PortOf(const FreeTdsAddress& AAddress) {
  if (!AAddress.Instance.empty()) return std::nullopt;
  try {
    return std::stoi(AAddress.Port);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

[[noreturn]] void RaiseWithReason(const EOLEDBError& AError, const ConnectSettings& ASettings) {
  const FreeTdsAddress address = FreeTdsAddressOf(ASettings);
  const std::optional<int> port = PortOf(address);
  const std::string reason =
      port ? EncryptionFailureReason(address.Host, *port, !ASettings.TrustServerCertificate) : "";
  if (reason.empty()) throw;
  std::vector<TErrorRecord> records = AError.Records();
  TErrorRecord record;
  record.SQLState = "08001";
  record.Message = "The encrypted connection to " + DataSource(ASettings.Server, ASettings.Port) +
                   " was refused: " + reason + ".";
  records.push_back(record);
  throw EOLEDBError(std::move(records), AError.OLEDBErrorCode(), AError.Component());
}

}  // namespace

void OpenSession(Connection& ASession, const ConnectSettings& ASettings) {
  ConnectSettings settings = Traced(ASettings);
  if (!IsFreeTds(ASettings)) {
    ASession.DriverConnect(ConnectionString(settings));
    return;
  }
  const FreeTdsEnvironmentScope environment;
  if (!ASettings.Encrypt) {
    ASession.DriverConnect(ConnectionString(settings));
    return;
  }
  settings.FreeTdsSection = FreeTdsTrustScope::Section();
  try {
    FreeTdsTrustScope trust(FreeTdsAddressOf(ASettings), !ASettings.TrustServerCertificate);
    ASession.DriverConnect(ConnectionString(settings));
  } catch (const EMSError&) {
    // The server answered a login, so the session was encrypted as asked.
    throw;
  } catch (const EOLEDBError& error) {
    RaiseWithReason(error, ASettings);
  }
}

#endif

}  // namespace odbc

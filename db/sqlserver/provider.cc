#include "db/sqlserver/provider.h"

#include <algorithm>
#include <cctype>

#include "db/errors/database_error.h"

namespace {

// The provider families name COM providers; here each maps to ODBC drivers
// that speak to SQL Server, tried in this order:
//   prAuto          native-client drivers (newest first), the current
//                   Microsoft drivers, the old "SQL Server" driver, FreeTDS
//   prSQL           "SQL Server", then FreeTDS
//   prNativeClient  the native-client driver(s) of the chosen version, the
//                   current Microsoft drivers, FreeTDS
// FreeTDS closes every list, so a Linux machine with only FreeTDS connects
// whatever the setting; prCompact has no ODBC driver and always fails.
constexpr std::string_view kNativeClient2012 = "SQL Server Native Client 11.0";
constexpr std::string_view kNativeClient2008 = "SQL Server Native Client 10.0";
constexpr std::string_view kNativeClient2005 = "SQL Native Client";
constexpr std::string_view kOdbc18 = "ODBC Driver 18 for SQL Server";
constexpr std::string_view kOdbc17 = "ODBC Driver 17 for SQL Server";
constexpr std::string_view kSqlServer = "SQL Server";
constexpr std::string_view kFreeTds = "FreeTDS";

std::vector<std::string_view> NativeClientDrivers(TNativeClientVersion AVersion) {
  switch (AVersion) {
    case nc2005:
      return {kNativeClient2005};
    case nc2008:
      return {kNativeClient2008};
    case nc2012:
      return {kNativeClient2012};
    case ncAuto:
      break;
  }
  return {kNativeClient2012, kNativeClient2008, kNativeClient2005};
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::vector<std::string_view> DriverCandidates(TOLEDBProvider AProvider,
                                               TNativeClientVersion AVersion) {
  std::vector<std::string_view> names;
  switch (AProvider) {
    case prAuto:
      names = NativeClientDrivers(ncAuto);
      names.insert(names.end(), {kOdbc18, kOdbc17, kSqlServer, kFreeTds});
      break;
    case prSQL:
      names = {kSqlServer, kFreeTds};
      break;
    case prNativeClient:
      names = NativeClientDrivers(AVersion);
      names.insert(names.end(), {kOdbc18, kOdbc17, kFreeTds});
      break;
    case prCompact:
      break;
  }
  return names;
}

std::string ChooseDriver(TOLEDBProvider AProvider, TNativeClientVersion AVersion,
                         const std::vector<std::string>& ARegistered) {
  for (std::string_view candidate : DriverCandidates(AProvider, AVersion)) {
    for (const std::string& registered : ARegistered) {
      if (SameName(candidate, registered)) return registered;
    }
  }
  throw EDatabaseError("Required provider is not installed");
}

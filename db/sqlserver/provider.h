// Which ODBC driver a connection's provider setting loads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum TOLEDBProvider { prAuto, prSQL, prNativeClient, prCompact };
enum TNativeClientVersion { ncAuto, nc2005, nc2008, nc2012 };

// The ODBC driver names tried for `AProvider` (and, with prNativeClient,
// `AVersion`), in order. Empty for prCompact, which no ODBC driver serves.
std::vector<std::string_view> DriverCandidates(TOLEDBProvider AProvider,
                                               TNativeClientVersion AVersion);

// The first of DriverCandidates() found in `ARegistered` (names compared
// without regard to letter case). Throws EDatabaseError "Required provider is
// not installed" when none is.
std::string ChooseDriver(TOLEDBProvider AProvider, TNativeClientVersion AVersion,
                         const std::vector<std::string>& ARegistered);

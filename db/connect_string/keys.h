// SQL Server's connect-string keys: which settings each name sets, the reset
// an assignment makes first, and the canonical rendering.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/connect_string/settings.h"

// The settings a connection with `ASettings` has after `AText` is assigned
// as its connect string: `ASettings` unchanged when `AText` equals
// RenderConnectString(ASettings); otherwise the key-settable settings reset,
// the entries applied in order, and integrated security applied after the
// last. Throws Exception with the refusal's message, which never shows the
// password nor an entry after a password entry (format.h).
TMSConnectionSettings ApplyConnectString(const TMSConnectionSettings& ASettings,
                                         std::string_view AText);

// One "key=value" for each key-settable setting that differs from its reset
// value, in a fixed order, joined by ";", values unquoted; then
// ";Integrated Security=SSPI" for a Windows login. Holds the password.
std::string RenderConnectString(const TMSConnectionSettings& ASettings);

// A provider as a provider string names it: the family and both versions.
struct TProviderChoice {
  TOLEDBProvider Provider;
  TNativeClientVersion NativeClientVersion;  // ncAuto unless prNativeClient
  TCompactVersion CompactVersion;            // cvAuto unless prCompact
};

// What the Provider key's value `AText` names (letter case ignored), such as
// prSQL for "SQLOLEDB.1"; nothing for a string the key refuses.
std::optional<TProviderChoice> FindProviderString(std::string_view AText);
// The string the Provider key is rendered with for `AChoice`; empty for prAuto.
std::string_view ProviderString(const TProviderChoice& AChoice);

// Fuzz target for connect strings on a TMSConnection. An input is the text
// to assign, optionally preceded by a line assigned first to give the
// connection settings of its own. For any input: no crash or hang; a refused
// text leaves every setting as it was; an accepted one renders a string
// that, when none of its values needs quoting, assigns back to the same
// settings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/exception.h"
#include "db/connect_string/format.h"
#include "db/connect_string/settings.h"
#include "db/sqlserver/connection.h"

namespace {

[[noreturn]] void Fail(const char* AWhat, std::string_view AText) {
  std::fprintf(stderr, "%s: %.*s\n", AWhat, static_cast<int>(AText.size()), AText.data());
  std::abort();
}

// Whether `AValue` reads back as itself when written bare into a rendering.
bool NeedsNoQuoting(const std::string& AValue) {
  if (AValue.empty()) return true;
  if (AValue.find_first_of("\"'") != std::string::npos) return false;
  if (AValue.front() == ' ' || AValue.back() == ' ') return false;
  try {
    CheckConnectStringEntry({.Name = "Data Source", .Value = AValue});
    return true;
  } catch (const Exception&) {
    return false;
  }
}

bool RenderingNeedsNoQuoting(const TMSConnectionSettings& ASettings) {
  for (const std::string* value :
       {&ASettings.Password, &ASettings.Server, &ASettings.Database, &ASettings.Username,
        &ASettings.Language, &ASettings.NetworkLibrary, &ASettings.ApplicationName,
        &ASettings.WorkstationID, &ASettings.InitialFileName, &ASettings.FailoverPartner}) {
    if (!NeedsNoQuoting(*value)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  const std::string_view input(reinterpret_cast<const char*>(AData), ASize);
  const std::size_t newline = input.find('\n');
  const std::string text(newline == std::string_view::npos ? input : input.substr(newline + 1));

  TMSConnection connection(nullptr);
  if (newline != std::string_view::npos) {
    try {
      connection.SetConnectString(std::string(input.substr(0, newline)));
    } catch (const Exception&) {
      // The defaults are as good a start.
    }
  }
  connection.SetLoginPrompt(false);  // as the program leaves it

  const TMSConnectionSettings before = SettingsOf(connection);
  try {
    connection.SetConnectString(text);
  } catch (const Exception&) {
    if (SettingsOf(connection) != before) Fail("a refused text changed the settings", input);
    return 0;
  }
  const TMSConnectionSettings after = SettingsOf(connection);
  const std::string rendering = connection.ConnectString();
  if (!RenderingNeedsNoQuoting(after)) return 0;
  // The ";" keeps the text from equalling the rendering, so it is applied.
  try {
    connection.SetConnectString(rendering + ";");
  } catch (const Exception&) {
    Fail("the rendering was refused", rendering);
  }
  if (SettingsOf(connection) != after) Fail("the rendering gave other settings", rendering);
  return 0;
}

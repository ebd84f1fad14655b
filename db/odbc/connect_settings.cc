#include "db/odbc/connect_settings.h"

#include <string_view>

#include "core/exception.h"
#include "platform/disk.h"
#include "platform/text_case.h"

namespace odbc {

namespace {

constexpr std::string_view kFreeTds = "FreeTDS";
// "SQL Server" is the old system driver; the other Microsoft drivers are the
// native-client generations and their successors, which take the options
// only native clients know.
constexpr std::string_view kOldSystemDriver = "SQL Server";
// What FreeTDS connects to for the local machine's default instance.
constexpr std::string_view kLoopback = "127.0.0.1";

// FreeTDS looks server names up through DNS only, where SQL Server's own
// aliases for the local machine do not exist.
std::string FreeTdsServer(const std::string& ADataSource) {
  const std::size_t end = ADataSource.find_first_of(",\\");
  const std::string_view host = std::string_view(ADataSource).substr(0, end);
  if (!platform::SameTextIgnoringCase(host, "(local)") && host != ".") return ADataSource;
  return std::string(kLoopback) + (end == std::string::npos ? "" : ADataSource.substr(end));
}

class Builder {
 public:
  explicit Builder(bool AFreeTds) : FFreeTds(AFreeTds) {}

  void Add(std::string_view AKey, const std::string& AValue) {
    // Either would end the value early and let its rest be read as further
    // settings: a password could then name another server or database.
    if (AValue.find('\0') != std::string::npos) {
      throw Exception("Connection setting " + std::string(AKey) +
                      " cannot be given to the driver: it holds a NUL character");
    }
    if (FFreeTds && AValue.find("};") != std::string::npos) {
      throw Exception("Connection setting " + std::string(AKey) +
                      " cannot be given to the FreeTDS driver: it holds \"};\"");
    }
    if (!FText.empty()) FText += ';';
    FText.append(AKey).append("=").append(Quoted(AValue));
  }
  void AddIfSet(std::string_view AKey, const std::string& AValue) {
    if (!AValue.empty()) Add(AKey, AValue);
  }
  const std::string& Text() const { return FText; }

 private:
  // Braces keep ";" and leading blanks inside a value. The Microsoft drivers
  // read "}}" as one "}"; FreeTDS ends a braced value at the first "};".
  std::string Quoted(const std::string& AValue) const {
    if (AValue.find_first_of(";{}") == std::string::npos &&
        (AValue.empty() || AValue.front() != ' ')) {
      return AValue;
    }
    std::string text = "{";
    for (char c : AValue) {
      text += c;
      if (c == '}' && !FFreeTds) text += '}';
    }
    return text + "}";
  }

  bool FFreeTds;
  std::string FText;
};

}  // namespace

std::string DataSource(const std::string& AServer, int APort) {
  std::string server = AServer.empty() ? "(local)" : AServer;
  if (APort != 1433 && server.find(',') == std::string::npos) {
    server += "," + std::to_string(APort);
  }
  return server;
}

bool IsFreeTds(const ConnectSettings& ASettings) {
  return platform::SameTextIgnoringCase(ASettings.Driver, kFreeTds);
}

FreeTdsAddress FreeTdsAddressOf(const ConnectSettings& ASettings) {
  const std::string server = FreeTdsServer(DataSource(ASettings.Server, ASettings.Port));
  const std::size_t end = server.find_first_of(",\\");
  FreeTdsAddress address{server.substr(0, end), "", "1433"};
  if (end == std::string::npos) return address;
  if (server[end] == '\\') {
    address.Instance = server.substr(end + 1);
  } else {
    address.Port = server.substr(end + 1);
  }
  return address;
}

std::string ConnectionString(const ConnectSettings& ASettings) {
  const bool free_tds = IsFreeTds(ASettings);
  const bool native_client =
      !free_tds && !platform::SameTextIgnoringCase(ASettings.Driver, kOldSystemDriver);
  Builder text(free_tds);
  text.Add("Driver", ASettings.Driver);
  const std::string data_source = DataSource(ASettings.Server, ASettings.Port);
  if (free_tds && !ASettings.FreeTdsSection.empty()) {
    text.Add("Servername", ASettings.FreeTdsSection);
  } else {
    text.Add("Server", free_tds ? FreeTdsServer(data_source) : data_source);
  }
  text.AddIfSet("Database", ASettings.Database);
  if (ASettings.Integrated) {
    text.Add("Trusted_Connection", "Yes");
  } else if (ASettings.Username.empty() && ASettings.Password.empty()) {
    text.Add("UID", "sa");
    text.Add("PWD", "");
  } else {
    text.Add("UID", ASettings.Username);
    text.Add("PWD", ASettings.Password);
  }
  text.Add("APP",
           ASettings.ApplicationName.empty() ? ProgramFileName() : ASettings.ApplicationName);
  text.AddIfSet("WSID", ASettings.WorkstationID);
  text.AddIfSet("Language", ASettings.Language);
  text.Add(free_tds ? "PacketSize" : "Packet Size", std::to_string(ASettings.PacketSize));
  text.AddIfSet(free_tds ? "AttachDbFilename" : "AttachDBFileName", ASettings.InitialFileName);
  if (free_tds) {
    // Left to guess, FreeTDS retries a login that got no answer with TDS 5.0,
    // which SQL Server never speaks and whose password encryption trusts a key
    // sent by whoever answers. SQL Server answers 7.4 with the version it
    // speaks itself, 7.2 and up alike.
    text.Add("TDS_Version", "7.4");
    // FreeTDS 1.3 knows only its own encryption keyword. "require" fails
    // against a server without TLS; "request" encrypts the login where the
    // server can, and the whole session where it insists.
    text.Add("Encryption", ASettings.Encrypt ? "require" : "request");
    // Wide text is converted by the driver; narrow text is UTF-8 like ours.
    text.Add("ClientCharset", "UTF-8");
    text.AddIfSet("DumpFile", ASettings.DumpFile);
    return text.Text();
  }
  // The newest Microsoft drivers encrypt unless told not to.
  text.Add("Encrypt", ASettings.Encrypt ? "yes" : "no");
  if (!ASettings.AutoTranslate) text.Add("AutoTranslate", "no");
  text.AddIfSet("Network", ASettings.NetworkLibrary);
  text.AddIfSet("Failover_Partner", ASettings.FailoverPartner);
  if (native_client) {
    if (ASettings.MultipleActiveResultSets) text.Add("MARS_Connection", "yes");
    if (ASettings.TrustServerCertificate) text.Add("TrustServerCertificate", "yes");
    text.Add("ApplicationIntent", ASettings.ReadOnlyIntent ? "ReadOnly" : "ReadWrite");
  }
  return text.Text();
}

std::string ProgramFileName() {
  try {
    const std::string program = platform::SystemDisk().ExecutableFileName();
    return program.substr(program.find_last_of('\\') + 1);
  } catch (const Exception&) {
    return {};
  }
}

}  // namespace odbc

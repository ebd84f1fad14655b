#include "options.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace standin::server {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

std::uint16_t ParsePort(const std::string& text) {
  unsigned value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value > 65535) {
    throw UsageError("bad port: " + text);
  }
  return static_cast<std::uint16_t>(value);
}

std::chrono::milliseconds ParseDelay(const std::string& text) {
  unsigned value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw UsageError("bad delay (want milliseconds): " + text);
  }
  return std::chrono::milliseconds(value);
}

tds::TdsVersion ParseTdsVersion(const std::string& text) {
  if (text == "7.2") return tds::TdsVersion::k72;
  if (text == "7.3") return tds::TdsVersion::k73;
  if (text == "7.4") return tds::TdsVersion::k74;
  throw UsageError("bad TDS version (want 7.2, 7.3 or 7.4): " + text);
}

void AddLogin(ServerOptions& options, const std::string& text) {
  auto colon = text.find(':');
  if (colon == std::string::npos || colon == 0)
    throw UsageError("bad login (want NAME:PASSWORD): " + text);
  std::string name = text.substr(0, colon);
  // Login names compare without regard to case: a second spelling replaces the first.
  std::erase_if(options.logins,
                [&](const auto& entry) { return Lower(entry.first) == Lower(name); });
  options.logins[name] = text.substr(colon + 1);
}

}  // namespace

const char* UsageText() {
  return "usage: sqlserver-standin --data DIR [--port N] [--login NAME:PASSWORD]... [--trace "
         "FILE]\n"
         "                         [--fault-file FILE] [--tls-cert FILE --tls-key FILE "
         "[--force-encryption]]\n"
         "                         [--delay-ms N] [--tds-version 7.2|7.3|7.4]\n"
         "  --fault-file FILE  for tests: writing \"kill N\" to FILE ends the session of the N-th\n"
         "                     request from then on (any session), as KILL does; \"stop N\" stops\n"
         "                     the server there, as SIGTERM does. That request is not run.\n"
         "  --tls-cert FILE, --tls-key FILE\n"
         "                     the server's certificate and key (PEM): every client that can\n"
         "                     encrypts at least its login; one that asks gets a TLS session\n"
         "  --force-encryption every session is encrypted; clients that cannot are refused\n"
         "  --delay-ms N       every reply (to a PRELOGIN, a login, a request) leaves N ms\n"
         "                     late, as over a slow link\n"
         "  --tds-version V    the highest TDS version the server speaks, as an older SQL Server:\n"
         "                     7.2 (SQL Server 2005), 7.3 (SQL Server 2008) or 7.4 (the default)\n";
}

ServerOptions ParseOptions(const std::vector<std::string>& args) {
  ServerOptions options;
  bool have_data = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    if (auto eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
    } else if (name == "--data" || name == "--port" || name == "--login" || name == "--trace" ||
               name == "--fault-file" || name == "--tls-cert" || name == "--tls-key" ||
               name == "--delay-ms" || name == "--tds-version") {
      if (i + 1 >= args.size()) throw UsageError(name + " needs a value");
      value = args[++i];
    }
    if (name == "--data") {
      if (value.empty()) throw UsageError("--data needs a directory");
      options.data_dir = value;
      have_data = true;
    } else if (name == "--port") {
      options.port = ParsePort(value);
    } else if (name == "--login") {
      AddLogin(options, value);
    } else if (name == "--trace") {
      if (value.empty()) throw UsageError("--trace needs a file");
      options.trace_file = value;
    } else if (name == "--fault-file") {
      if (value.empty()) throw UsageError("--fault-file needs a file");
      options.fault_file = value;
    } else if (name == "--tls-cert" || name == "--tls-key") {
      if (value.empty()) throw UsageError(name + " needs a file");
      (name == "--tls-cert" ? options.tls_certificate : options.tls_key) = value;
    } else if (name == "--delay-ms") {
      options.reply_delay = ParseDelay(value);
    } else if (name == "--tds-version") {
      options.highest_version = ParseTdsVersion(value);
    } else if (name == "--force-encryption") {
      options.force_encryption = true;
    } else {
      throw UsageError("unknown argument: " + args[i]);
    }
  }
  if (!have_data) throw UsageError("--data is required");
  if (options.tls_certificate.empty() != options.tls_key.empty()) {
    throw UsageError("--tls-cert and --tls-key go together");
  }
  if (options.force_encryption && options.tls_certificate.empty()) {
    throw UsageError("--force-encryption needs --tls-cert and --tls-key");
  }
  return options;
}

}  // namespace standin::server

// A site installed the way a real one is, in a private directory, for the
// program's start-up: the program at <dir>/Apps/VANTOR.APP/Jail/<program>
// and the site configuration at <dir>/Apps/Vantor.Cfg/Vantor.ini, whose
// ConnStr reaches the site database VANTOR on a stand-in with a login (sa by
// default). As a
// platform::Disk it is the host's disk seen by a program started from that
// folder, which lets a test run the start-up in its own process.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "odbc_test_connection.h"
#include "platform/disk.h"
#include "temp_dir.h"

namespace standin_test {

class InstalledSite : public platform::Disk {
 public:
  // Lays the folders out and writes Vantor.ini for the stand-in on `APort`,
  // logging in as `ALogin` (its database is not used).
  explicit InstalledSite(int APort, const std::string& AProgram = "synch-property-locations",
                         Login ALogin = {});

  const std::filesystem::path& ProgramPath() const { return program_; }
  std::filesystem::path IniPath() const;
  // "Data Source=127.0.0.1;Port=N;Initial Catalog=VANTOR;" and the login's
  // LoginEntries.
  std::string SiteConnectString() const;
  // Replaces Vantor.ini by `AText`, readable by its owner and group only.
  void WriteIni(const std::string& AText) const;

  // ProgramPath() in Windows form; files and drives are the host's.
  std::string ExecutableFileName() const override;
  std::optional<std::string> FindFile(const std::string& AFileName) const override;
  platform::DriveType DriveTypeOf(const std::string& ARoot) const override;

 private:
  int port_;
  Login login_;
  TempDir dir_;
  std::filesystem::path program_;
};

// Creates the site database VANTOR with its ConnectLib table on the stand-in
// at `APort` and registers "JAIL" there (RegisterJail).
void CreateSiteDatabase(int APort);
// Makes ConnectLib's "JAIL" row in the site database VANTOR (which must
// exist) on the stand-in at `APort` the only one, giving database JAIL on the
// server at `AJailPort` (by default the same) as `ALogin` (its database is
// not used), followed by `AExtraEntries` (";Key=Value..."). The row is
// written as sa.
void RegisterJail(int APort, int AJailPort = 0, const Login& ALogin = {},
                  const std::string& AExtraEntries = "");

// "User ID=<user>", and ";Password=<password>" unless the password is empty.
std::string LoginEntries(const Login& ALogin);

}  // namespace standin_test

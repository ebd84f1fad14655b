#include "installed_site.h"

#include <fstream>
#include <utility>

#include "jail_schema.h"
#include "odbc_test_connection.h"
#ifndef _WIN32
#include "platform/posix_path.h"
#endif

namespace standin_test {

InstalledSite::InstalledSite(int APort, const std::string& AProgram, Login ALogin)
    : port_(APort),
      login_(std::move(ALogin)),
      program_(dir_.path() / "Apps" / "VANTOR.APP" / "Jail" / AProgram) {
  std::filesystem::create_directories(program_.parent_path());
  std::filesystem::create_directories(IniPath().parent_path());
  WriteIni("[DataProvider]\r\nConnStr=" + SiteConnectString() + "\r\n");
}

std::filesystem::path InstalledSite::IniPath() const {
  return dir_.path() / "Apps" / "Vantor.Cfg" / "Vantor.ini";
}

std::string InstalledSite::SiteConnectString() const {
  return "Data Source=127.0.0.1;Port=" + std::to_string(port_) + ";Initial Catalog=VANTOR;" +
         LoginEntries(login_);
}

void InstalledSite::WriteIni(const std::string& AText) const {
  std::ofstream(IniPath(), std::ios::binary | std::ios::trunc) << AText;
  // Kept as a careful site keeps it: its passwords are not every user's.
  using std::filesystem::perms;
  std::filesystem::permissions(IniPath(),
                               perms::owner_read | perms::owner_write | perms::group_read);
}

std::string InstalledSite::ExecutableFileName() const {
#ifdef _WIN32
  return program_.string();
#else
  return platform::WindowsPathFromPosix(program_.string());
#endif
}

std::optional<std::string> InstalledSite::FindFile(const std::string& AFileName) const {
  return platform::SystemDisk().FindFile(AFileName);
}

platform::DriveType InstalledSite::DriveTypeOf(const std::string& ARoot) const {
  return platform::SystemDisk().DriveTypeOf(ARoot);
}

void CreateSiteDatabase(int APort) {
  OdbcTestConnection setup(APort);
  setup.Exec("CREATE DATABASE VANTOR");
  setup.Exec("USE VANTOR");
  setup.Exec(jailgen::CreateTableSql(jailgen::Table("ConnectLib")));
  RegisterJail(APort);
}

void RegisterJail(int APort, int AJailPort, const Login& ALogin, const std::string& AExtraEntries) {
  OdbcTestConnection site(APort, {"sa", "", "VANTOR"});
  site.Exec("DELETE FROM ConnectLib");
  site.Exec(
      "INSERT INTO ConnectLib (ProgramID, ConnString, HelpFile, LogFile, UseInitial) VALUES "
      "('JAIL', ?, 'jail.chm', 'jail.log', 0)",
      {SqlParam::VarChar(
          "Data Source=127.0.0.1;Port=" + std::to_string(AJailPort == 0 ? APort : AJailPort) +
          ";Initial Catalog=JAIL;" + LoginEntries(ALogin) + AExtraEntries)});
}

std::string LoginEntries(const Login& ALogin) {
  return "User ID=" + ALogin.user + (ALogin.password.empty() ? "" : ";Password=" + ALogin.password);
}

}  // namespace standin_test

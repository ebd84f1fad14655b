#include "config/vt_config_info.h"

#include <memory>
#include <string>
#include <vector>

#include "db/access/dataset.h"
#include "db/fields/field.h"
#include "db/sqlserver/connection.h"

namespace {

// `AText` as a T-SQL string literal: in single quotes, each quote doubled.
std::string StringLiteral(const std::string& AText) {
  std::string literal = "'";
  for (char c : AText) {
    literal += c;
    if (c == '\'') literal += '\'';
  }
  return literal + "'";
}

// A closed connection of its own to the site database. No lock time-out is
// sent: a registry read must not fail where the server would just wait.
std::unique_ptr<TMSConnection> NewRegistryConnection(const std::string& AConnectString) {
  auto connection = std::make_unique<TMSConnection>(nullptr);
  connection->Options().SetDefaultLockTimeout(-1);
  connection->SetConnectString(AConnectString);
  return connection;
}

// A read-only dataset on `AConnection` holding the result of `ASql`; opening
// it connects. On an error the dataset is freed and the error passes on.
std::unique_ptr<TCustomDADataSet> OpenRegistryQuery(TMSConnection& AConnection,
                                                    const std::string& ASql) {
  std::unique_ptr<TCustomDADataSet> query(AConnection.CreateDataSet(nullptr));
  query->SetReadOnly(true);
  query->SQL().SetText(ASql);
  query->Open();
  return query;
}

}  // namespace

std::string TVtConfigInfo::LookupProgramValue(const std::string& AProgramID,
                                              const std::string& AFieldName,
                                              const std::string& ADefault) {
  if (SkipLookups()) return "";
  std::string value;
  RunLookup([&] {
    // Declared before the query, so the query is freed first.
    const std::unique_ptr<TMSConnection> connection = NewRegistryConnection(ConnectionString());
    connection->SetLoginPrompt(false);
    const std::unique_ptr<TCustomDADataSet> query = OpenRegistryQuery(
        *connection,
        "SELECT " + AFieldName + ", UseInitial " +
            "FROM ConnectLib (readuncommitted) WHERE ProgramID = " + StringLiteral(AProgramID));
    if (query->IsEmpty()) return;
    value = query->FieldByName("UseInitial").AsBoolean()
                ? ADefault
                : query->FieldByName(AFieldName).AsString();
  });
  return value;
}

void TVtConfigInfo::GetProgramList(TStrings& APrograms) {
  if (SkipLookups()) return;
  RunLookup([&] {
    const std::unique_ptr<TMSConnection> connection = NewRegistryConnection(ConnectionString());
    const std::unique_ptr<TCustomDADataSet> query = OpenRegistryQuery(
        *connection, "SELECT ProgramID FROM ConnectLib (readuncommitted) ORDER BY ProgramID");
    // Read to the end before touching the caller's list: a row that cannot
    // be read must leave it as it was.
    std::vector<std::string> programs;
    for (; !query->Eof(); query->Next()) {
      programs.push_back(query->FieldByName("ProgramID").AsString());
    }
    APrograms.Clear();
    for (const std::string& program : programs) APrograms.Add(program);
  });
}

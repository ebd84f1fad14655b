// The main window's stored description: every non-visual component in
// creation order with its class and stored values, the same datasets and
// fields the property tables declare, a round trip through the writer, and
// the restored location and container tables working as master and detail
// against the stand-in. The window is restored by a program installed at a
// site whose registry gives "JAIL" a database on a private stand-in.
#include "app/main_form_description.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/description_writer.h"
#include "db/fields/field.h"
#include "installed_site.h"
#include "odbc_test_connection.h"
#include "standin_server.h"
#include "sync/property_declarations.h"

namespace {

using ::testing::ElementsAreArray;

class MainFormDescriptionTest : public ::testing::Test {
 protected:
  MainFormDescriptionTest() {
    standin_test::CreateSiteDatabase(FServer.port());
    FForm = RestoreMainForm(&FWindow, FSite);
  }

  // The window's components that are not declared fields.
  std::vector<TComponent*> NonVisual() const {
    std::vector<TComponent*> components;
    for (int i = 0; i < FWindow.ComponentCount(); ++i) {
      if (dynamic_cast<TField*>(FWindow.Components(i)) == nullptr) {
        components.push_back(FWindow.Components(i));
      }
    }
    return components;
  }

  static std::string ClassName(const TComponent& AComponent) {
    return MainFormClasses().ClassOf(AComponent).Name();
  }

  standin_test::StandinServer FServer;
  standin_test::InstalledSite FSite{FServer.port()};
  TComponent FWindow{nullptr};
  TMainFormNonVisual FForm{};
};

TEST_F(MainFormDescriptionTest, RestoresTheNonVisualComponentsInCreationOrder) {
  std::vector<std::string> restored;
  for (TComponent* component : NonVisual()) {
    restored.push_back(component->Name() + ": " + ClassName(*component));
    EXPECT_FALSE(component->ComponentState().Contains(csLoading)) << component->Name();
  }
  EXPECT_THAT(restored, ElementsAreArray<std::string>({
                            "tblWarderly: TVtMSTable",
                            "tblCFGPropertyContainers: TVtMSTable",
                            "qryGeneric: TVtMSQuery",
                            "tblCFGPropertyLocation: TVtMSTable",
                            "dtsWarderly: TDataSource",
                            "dtsCFGPropertyLocations: TDataSource",
                            "dtsCFGPropertyContainers: TDataSource",
                            "tblInmProperty: TVtMSTable",
                            "dtsInmProperty: TDataSource",
                            "tblInmPropertyItems: TVtMSTable",
                            "dtsInmPropertyItems: TDataSource",
                            "dbJail: TVtSQLDatabase",
                            "VtConfigInfo: TVtConfigInfo",
                        }));
  std::vector<TComponent*> byName = FForm.InCreationOrder();
  byName.push_back(FForm.dbJail);
  byName.push_back(FForm.VtConfigInfo);
  EXPECT_EQ(byName, NonVisual());
}

// The stored text of a declared table's dataset and of its fields, which
// follow it in the creation order.
std::string DeclaredTableText(const TTableDeclaration& ATable) {
  const std::string name(ATable.DataSet);
  std::string text = "object " + name + ": TVtMSTable\n  Connection = dbJail\n  TableName = '" +
                     std::string(ATable.TableName) + "'\n";
  if (!ATable.MasterSource.empty()) {
    const std::string link(ATable.LinkField);
    text += "  MasterSource = " + std::string(ATable.MasterSource) + "\n  MasterFields = '" + link +
            "'\n  DetailFields = '" + link + "'\n";
  }
  text += "end\n";
  const std::map<TFieldType, std::string> classes = {
      {ftString, "TStringField"},   {ftInteger, "TIntegerField"},  {ftLargeint, "TLargeintField"},
      {ftBoolean, "TBooleanField"}, {ftDate, "TDateField"},        {ftTime, "TTimeField"},
      {ftMemo, "TMemoField"},       {ftCurrency, "TCurrencyField"}};
  for (const TColumnDeclaration& column : ATable.Columns) {
    const std::string field(column.Name);
    text += "object " + name + field + ": " + classes.at(column.Type) + "\n  FieldName = '" +
            field + "'\n  DataSet = " + name + "\n";
    if (column.ReadOnly) text += "  ReadOnly = True\n";
    if (column.Type == ftString && column.Size != 20) {
      text += "  Size = " + std::to_string(column.Size) + "\n";
    }
    text += "end\n";
  }
  return text;
}

TEST_F(MainFormDescriptionTest, TablesAndTheirFieldsAreThoseThePropertyTablesDeclare) {
  for (const TTableDeclaration& table : PropertyTableDeclarations()) {
    std::vector<TComponent*> stored;
    TComponent* dataSet = FWindow.FindComponent(table.DataSet);
    ASSERT_NE(dataSet, nullptr) << table.DataSet;
    stored.push_back(dataSet);
    for (int i = 0; i < FWindow.ComponentCount(); ++i) {
      const auto* field = dynamic_cast<const TField*>(FWindow.Components(i));
      if (field != nullptr && field->DataSet() == dataSet) stored.push_back(FWindow.Components(i));
    }
    EXPECT_EQ(WriteComponents(stored, MainFormClasses()), DeclaredTableText(table));
  }
  // The fields' dataset makes them the table's declared fields, in order.
  EXPECT_EQ(FForm.tblCFGPropertyLocation->Fields(5).Name(), "tblCFGPropertyLocationLOCKEY");
  EXPECT_EQ(FForm.tblCFGPropertyContainers->MasterSource(), FForm.dtsCFGPropertyLocations);
  EXPECT_EQ(FForm.dtsCFGPropertyLocations->DataSet(), FForm.tblCFGPropertyLocation);
}

// The registry's answer replaced every stored setting: server, login and
// provider are the site's, or their defaults.
TEST_F(MainFormDescriptionTest, TheConnectionTakesTheSiteRegistrationAndStaysClosed) {
  const TVtSQLDatabase& db = *FForm.dbJail;
  EXPECT_EQ(db.ProgramName(), "JAIL");
  EXPECT_EQ(db.VtConfigInfo(), FForm.VtConfigInfo);
  EXPECT_EQ(db.Server(), "127.0.0.1");
  EXPECT_EQ(db.Port(), FServer.port());
  EXPECT_EQ(db.Database(), "JAIL");
  EXPECT_EQ(db.Username(), "sa");
  EXPECT_EQ(db.Authentication(), auServer);
  EXPECT_EQ(db.Options().Provider(), prAuto);
  EXPECT_FALSE(db.Options().KeepDesignConnected());
  EXPECT_EQ(db.Options().DefaultLockTimeout(), -1);
  EXPECT_FALSE(db.LoginPrompt());
  EXPECT_FALSE(db.Connected());
  for (TCustomMSDataSet* dataSet : std::vector<TCustomMSDataSet*>{
           FForm.tblWarderly, FForm.tblCFGPropertyContainers, FForm.qryGeneric,
           FForm.tblCFGPropertyLocation, FForm.tblInmProperty, FForm.tblInmPropertyItems}) {
    EXPECT_EQ(dataSet->Connection(), FForm.dbJail) << dataSet->Name();
    EXPECT_FALSE(dataSet->Active()) << dataSet->Name();
  }
  EXPECT_EQ(FForm.tblInmProperty->OrderFields(), "");
}

// The description without its comments and blank lines.
std::string StoredLines(std::string_view AText) {
  std::string lines;
  std::size_t start = 0;
  while (start < AText.size()) {
    std::size_t stop = AText.find('\n', start);
    if (stop == std::string_view::npos) stop = AText.size();
    const std::string_view line = AText.substr(start, stop - start);
    if (!line.empty() && !line.starts_with("//")) lines += std::string(line) + "\n";
    start = stop + 1;
  }
  return lines;
}

TEST_F(MainFormDescriptionTest, WritesBackAsStoredExceptTheConnectionsSettings) {
  std::string expected = StoredLines(MainFormDescription());
  // The connection writes its actual state: the registry's settings, closed.
  const std::size_t from = expected.find("object dbJail: TVtSQLDatabase\n");
  ASSERT_NE(from, std::string::npos);
  const std::size_t to = expected.find("end\n", from) + 4;
  expected.replace(from, to - from,
                   "object dbJail: TVtSQLDatabase\n"
                   "  Database = 'JAIL'\n"
                   "  Server = '127.0.0.1'\n"
                   "  Port = " +
                       std::to_string(FServer.port()) +
                       "\n"
                       "  Username = 'sa'\n"
                       "  LoginPrompt = False\n"
                       "  ProgramName = 'JAIL'\n"
                       "  VtConfigInfo = VtConfigInfo\n"
                       "end\n");
  std::vector<TComponent*> all;
  for (int i = 0; i < FWindow.ComponentCount(); ++i) all.push_back(FWindow.Components(i));
  EXPECT_EQ(WriteComponents(all, MainFormClasses()), expected);
}

TEST(MainFormAgainstStandinTest, ContainersFollowTheLocationTheyBelongTo) {
  standin_test::StandinServer server;
  standin_test::OdbcTestConnection setup(server.port());
  setup.Exec("CREATE DATABASE JAIL");
  setup.Exec("USE JAIL");
  setup.Exec(
      "CREATE TABLE CFGPROPL (LOCATIONCODE varchar(5), LOCATION varchar(30), ALLOW int, "
      "ONLOC int, AVAILABLE bit, LOCKEY bigint NOT NULL PRIMARY KEY)");
  setup.Exec(
      "CREATE TABLE CFGPROPC (LOCKEY int, LOCATIONCODE varchar(5), CONTAINER varchar(30), "
      "AVAILABLE bit, CONTAINERID bigint NOT NULL PRIMARY KEY)");
  setup.Exec(
      "INSERT INTO CFGPROPL (LOCATIONCODE, LOCATION, ALLOW, ONLOC, AVAILABLE, LOCKEY) VALUES "
      "('A1', 'Shelf A', 5, 0, 1, 1), ('B2', 'Shelf B', 5, 0, 1, 2)");
  setup.Exec(
      "INSERT INTO CFGPROPC (LOCKEY, LOCATIONCODE, CONTAINER, AVAILABLE, CONTAINERID) VALUES "
      "(1, 'A1', 'Bin 1', 1, 10), (1, 'A1', 'Bin 2', 1, 11), (2, 'B2', 'Bin 3   ', 1, 20)");

  standin_test::CreateSiteDatabase(server.port());
  const standin_test::InstalledSite site(server.port());
  TComponent window(nullptr);
  const TMainFormNonVisual form = RestoreMainForm(&window, site);

  form.tblCFGPropertyLocation->Open();
  form.tblCFGPropertyContainers->Open();
  EXPECT_TRUE(form.dbJail->Connected());
  auto containers = [&] {
    std::vector<std::string> names;
    for (form.tblCFGPropertyContainers->First(); !form.tblCFGPropertyContainers->Eof();
         form.tblCFGPropertyContainers->Next()) {
      names.push_back(form.tblCFGPropertyContainers->FieldByName("CONTAINER").AsString());
    }
    return names;
  };
  EXPECT_THAT(containers(), ElementsAreArray<std::string>({"Bin 1", "Bin 2"}));
  form.tblCFGPropertyLocation->Next();
  EXPECT_EQ(form.tblCFGPropertyLocation->FieldByName("LOCKEY").AsInteger(), 2);
  EXPECT_THAT(containers(), ElementsAreArray<std::string>({"Bin 3"}));
}

}  // namespace

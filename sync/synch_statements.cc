#include "sync/synch_statements.h"

#include <string>

namespace {

// Clearing a text that holds lines also closes and unprepares the query, so
// both resets leave it closed, unprepared and empty; the two are kept apart
// because they are different calls on the query.
void FullReset(TCustomDADataSet& AQuery) {
  AQuery.Close();
  AQuery.UnPrepare();
  AQuery.SQL().Clear();
}

void ShortReset(TCustomDADataSet& AQuery) {
  AQuery.Close();
  AQuery.SQL().Clear();
}

void DeclareInput(TCustomDADataSet& AQuery, TFieldType AType, const char* AName) {
  AQuery.Params().CreateParam(AType, AName, ptInput);
}

std::int32_t FirstValue(TCustomDADataSet& AQuery) {
  const std::int32_t value = AQuery.Fields(0).AsInteger();
  AQuery.Close();
  return value;
}

void PrepareAndExecute(TCustomDADataSet& AQuery) {
  AQuery.Prepare();
  AQuery.Execute();
}

}  // namespace

std::int32_t CountHeldProperty(TCustomDADataSet& AQuery, std::int32_t ALocKey) {
  FullReset(AQuery);
  AQuery.SQL().Add("SELECT Count(LOCKEY) FROM WRIPROP WHERE LOCKEY = " + std::to_string(ALocKey) +
                   " AND BOOKNO IN (SELECT BOOKNO FROM WARDERLY WHERE NAMERELEAS = 0)");
  AQuery.Prepare();
  AQuery.Open();
  return FirstValue(AQuery);
}

void ReleaseLocation(TCustomDADataSet& AQuery, std::int32_t ALocKey) {
  FullReset(AQuery);
  AQuery.SQL().Add("UPDATE CFGPROPL SET AVAILABLE = 1 WHERE LOCKEY = " + std::to_string(ALocKey));
  PrepareAndExecute(AQuery);
}

void ReleaseContainersOf(TCustomDADataSet& AQuery, std::int32_t ALocKey) {
  FullReset(AQuery);
  AQuery.SQL().Add("UPDATE CFGPROPC SET AVAILABLE = 1 WHERE LOCKEY = " + std::to_string(ALocKey));
  PrepareAndExecute(AQuery);
}

std::int32_t CountHeldItems(TCustomDADataSet& AQuery, std::int32_t ALocKey,
                            std::int32_t AContainerKey) {
  ShortReset(AQuery);
  DeclareInput(AQuery, ftInteger, "LOCKEY");
  DeclareInput(AQuery, ftInteger, "CONTAINERID");
  DeclareInput(AQuery, ftBoolean, "NAMERELEAS");
  DeclareInput(AQuery, ftBoolean, "RELEASE");
  AQuery.SQL().Add(
      "SELECT Count(CONTAINERID) FROM WRPITEMS WHERE LOCKEY = :LOCKEY AND CONTAINERID = "
      ":CONTAINERID AND RELEASE = :RELEASE AND BOOKNO IN (SELECT BOOKNO FROM WARDERLY WHERE "
      "NAMERELEAS = :NAMERELEAS)");
  AQuery.Params().ParamByName("LOCKEY").SetAsInteger(ALocKey);
  AQuery.Params().ParamByName("CONTAINERID").SetAsInteger(AContainerKey);
  AQuery.Params().ParamByName("NAMERELEAS").SetAsBoolean(false);
  AQuery.Params().ParamByName("RELEASE").SetAsBoolean(false);
  AQuery.Open();
  return FirstValue(AQuery);
}

void UpdateContainer(TCustomDADataSet& AQuery, std::int32_t ALocKey, std::int32_t AContainerKey,
                     bool AAvailable) {
  FullReset(AQuery);
  DeclareInput(AQuery, ftBoolean, "AVAILABLE");
  DeclareInput(AQuery, ftInteger, "LOCKEY");
  DeclareInput(AQuery, ftInteger, "CONTAINERID");
  AQuery.SQL().Add(
      "UPDATE CFGPROPC SET AVAILABLE = :AVAILABLE WHERE LOCKEY = :LOCKEY AND CONTAINERID = "
      ":CONTAINERID");
  AQuery.Params().ParamByName("AVAILABLE").SetAsBoolean(AAvailable);
  AQuery.Params().ParamByName("LOCKEY").SetAsInteger(ALocKey);
  AQuery.Params().ParamByName("CONTAINERID").SetAsInteger(AContainerKey);
  PrepareAndExecute(AQuery);
}

void OpenContainerInmates(TCustomDADataSet& AQuery, std::int32_t ALocKey,
                          std::int32_t AContainerKey) {
  ShortReset(AQuery);
  DeclareInput(AQuery, ftInteger, "LOCKEY");
  DeclareInput(AQuery, ftInteger, "CONTAINERID");
  DeclareInput(AQuery, ftBoolean, "RELEASE");
  AQuery.SQL().Add(
      "SELECT BOOKNO,KORAID,LNAME,FNAME,MNAME FROM WARDERLY WHERE NAMERELEAS = 0 AND BOOKNO IN "
      "(SELECT BOOKNO FROM WRPITEMS WHERE LOCKEY = :LOCKEY AND CONTAINERID = :CONTAINERID AND "
      "RELEASE = :RELEASE)");
  AQuery.Params().ParamByName("LOCKEY").SetAsInteger(ALocKey);
  AQuery.Params().ParamByName("CONTAINERID").SetAsInteger(AContainerKey);
  AQuery.Params().ParamByName("RELEASE").SetAsBoolean(false);
  AQuery.Open();
}

void OpenLocationInmates(TCustomDADataSet& AQuery, std::int32_t ALocKey) {
  ShortReset(AQuery);
  DeclareInput(AQuery, ftInteger, "LOCKEY");
  DeclareInput(AQuery, ftBoolean, "RELEASE");
  AQuery.SQL().Add(
      "SELECT BOOKNO,KORAID,LNAME,FNAME,MNAME FROM WARDERLY WHERE NAMERELEAS = 0 AND BOOKNO IN "
      "(SELECT BOOKNO FROM WRPITEMS WHERE LOCKEY = :LOCKEY AND RELEASE = :RELEASE)");
  AQuery.Params().ParamByName("LOCKEY").SetAsInteger(ALocKey);
  AQuery.Params().ParamByName("RELEASE").SetAsBoolean(false);
  AQuery.Open();
}

void UpdateLocation(TCustomDADataSet& AQuery, std::int32_t ALocKey, bool AAvailable) {
  FullReset(AQuery);
  DeclareInput(AQuery, ftBoolean, "AVAILABLE");
  DeclareInput(AQuery, ftInteger, "LOCKEY");
  AQuery.SQL().Add("UPDATE CFGPROPL SET AVAILABLE = :AVAILABLE WHERE LOCKEY = :LOCKEY");
  AQuery.Params().ParamByName("AVAILABLE").SetAsBoolean(AAvailable);
  AQuery.Params().ParamByName("LOCKEY").SetAsInteger(ALocKey);
  PrepareAndExecute(AQuery);
}

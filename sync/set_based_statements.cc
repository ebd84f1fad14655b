#include "sync/set_based_statements.h"

#include "db/values/variant_convert.h"
#include "sync/synch_log_lines.h"

namespace {

// A booking is held while NAMERELEAS is 0 (NULL is not 0), and an item is
// still kept while RELEASE is 0, exactly as the per-container statements ask.
const std::string kHeldBookings = "SELECT BOOKNO FROM WARDERLY WHERE NAMERELEAS = 0";

// The location count and container count statements as conditions on a
// location key and a container key of the statement around them.
std::string HoldsProperty(const std::string& ALocKey) {
  return "EXISTS (SELECT * FROM WRIPROP p WHERE p.LOCKEY = " + ALocKey + " AND p.BOOKNO IN (" +
         kHeldBookings + "))";
}

std::string HoldsItems(const std::string& ALocKey, const std::string& AContainerKey) {
  return "EXISTS (SELECT * FROM WRPITEMS i WHERE i.LOCKEY = " + ALocKey +
         " AND i.CONTAINERID = " + AContainerKey + " AND i.RELEASE = 0 AND i.BOOKNO IN (" +
         kHeldBookings + "))";
}

// A container is available unless its location holds property and it holds
// items; a location is available unless it holds property and has no
// container without items (none at all included).
const std::string kContainerFlag = "CASE WHEN " + HoldsProperty("CFGPROPC.LOCKEY") + " AND " +
                                   HoldsItems("CFGPROPC.LOCKEY", "CFGPROPC.CONTAINERID") +
                                   " THEN 0 ELSE 1 END";
const std::string kLocationFlag =
    "CASE WHEN " + HoldsProperty("CFGPROPL.LOCKEY") +
    " AND NOT EXISTS (SELECT * FROM CFGPROPC c WHERE c.LOCKEY = CFGPROPL.LOCKEY AND NOT " +
    HoldsItems("c.LOCKEY", "c.CONTAINERID") + ") THEN 0 ELSE 1 END";

void SetText(TCustomDADataSet& AQuery, const std::string& AText) {
  AQuery.Close();
  AQuery.SQL().Clear();
  AQuery.SQL().Add(AText);
}

void Run(TCustomDADataSet& AQuery, const std::string& AText) {
  SetText(AQuery, AText);
  AQuery.Execute();
}

// Runs `AText` and hands every row to `ARow` while the query stands on it.
template <class ARowHandler>
void ReadRows(TCustomDADataSet& AQuery, const std::string& AText, ARowHandler ARow) {
  SetText(AQuery, AText);
  AQuery.Open();
  for (AQuery.First(); !AQuery.Eof(); AQuery.Next()) ARow();
  AQuery.Close();
}

std::int64_t Int64Of(const TCustomDADataSet& AQuery, const char* AColumn) {
  return VariantToInt64(AQuery.FieldByName(AColumn).Value());
}

TContainerRef ContainerOf(const TCustomDADataSet& AQuery) {
  return {Int64Of(AQuery, "LOCKEY"), Int64Of(AQuery, "CONTAINERID")};
}

// A NULL key matches no location or container of the pass.
bool HasKeys(const TCustomDADataSet& AQuery, bool AContainer) {
  return !AQuery.FieldByName("LOCKEY").IsNull() &&
         !(AContainer && AQuery.FieldByName("CONTAINERID").IsNull());
}

void WriteFlags(TCustomDADataSet& AQuery, const std::string& AUpdate, const char* ATable,
                int AChanged) {
  SetText(AQuery, AUpdate + "\r\nIF @@ROWCOUNT <> :CHANGED RAISERROR('The AVAILABLE flags of " +
                      ATable + " to write differ from those decided.', 16, 1)");
  AQuery.Params().ParamByName("CHANGED").SetAsInteger(AChanged);
  AQuery.Execute();
}

}  // namespace

void BeginPassTransaction(TCustomDADataSet& AQuery) {
  Run(AQuery, "SET TRANSACTION ISOLATION LEVEL SERIALIZABLE\r\nBEGIN TRANSACTION");
}

void CommitPassTransaction(TCustomDADataSet& AQuery) {
  Run(AQuery, "COMMIT TRANSACTION\r\nSET TRANSACTION ISOLATION LEVEL READ COMMITTED");
}

void RollBackPassTransaction(TCustomDADataSet& AQuery) {
  Run(AQuery,
      "IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION\r\nSET TRANSACTION ISOLATION LEVEL READ COMMITTED");
}

std::map<std::int64_t, std::int64_t> ReadHeldProperty(TCustomDADataSet& AQuery) {
  std::map<std::int64_t, std::int64_t> counts;
  ReadRows(AQuery,
           "SELECT LOCKEY, Count(LOCKEY) AS HELD FROM WRIPROP WHERE BOOKNO IN (" + kHeldBookings +
               ") GROUP BY LOCKEY",
           [&] {
             if (HasKeys(AQuery, false))
               counts[Int64Of(AQuery, "LOCKEY")] = Int64Of(AQuery, "HELD");
           });
  return counts;
}

std::map<TContainerRef, std::int64_t> ReadHeldItems(TCustomDADataSet& AQuery) {
  std::map<TContainerRef, std::int64_t> counts;
  ReadRows(AQuery,
           "SELECT LOCKEY, CONTAINERID, Count(CONTAINERID) AS ITEMS FROM WRPITEMS WHERE RELEASE = "
           "0 AND BOOKNO IN (" +
               kHeldBookings + ") GROUP BY LOCKEY, CONTAINERID",
           [&] {
             if (HasKeys(AQuery, true)) counts[ContainerOf(AQuery)] = Int64Of(AQuery, "ITEMS");
           });
  return counts;
}

// The per-container statements list WARDERLY's rows without ORDER BY, which
// a server returns along WARDERLY's primary key (BOOKNO, its clustered
// index); here each container's and location's rows are ordered by it.
// DISTINCT keeps an inmate with several items in one place listed once.
std::map<TContainerRef, std::vector<std::string>> ReadContainerInmates(TCustomDADataSet& AQuery) {
  std::map<TContainerRef, std::vector<std::string>> lines;
  ReadRows(AQuery,
           "SELECT i.LOCKEY, i.CONTAINERID, w.BOOKNO, w.KORAID, w.LNAME, w.FNAME, w.MNAME FROM "
           "WARDERLY w JOIN (SELECT DISTINCT LOCKEY, CONTAINERID, BOOKNO FROM WRPITEMS WHERE "
           "RELEASE = 0) i ON i.BOOKNO = w.BOOKNO WHERE w.NAMERELEAS = 0 ORDER BY i.LOCKEY, "
           "i.CONTAINERID, w.BOOKNO",
           [&] {
             if (HasKeys(AQuery, true)) lines[ContainerOf(AQuery)].push_back(InmateLine(AQuery));
           });
  return lines;
}

std::map<std::int64_t, std::vector<std::string>> ReadLocationInmates(TCustomDADataSet& AQuery) {
  std::map<std::int64_t, std::vector<std::string>> lines;
  ReadRows(AQuery,
           "SELECT i.LOCKEY, w.BOOKNO, w.KORAID, w.LNAME, w.FNAME, w.MNAME FROM WARDERLY w JOIN "
           "(SELECT DISTINCT LOCKEY, BOOKNO FROM WRPITEMS WHERE RELEASE = 0) i ON i.BOOKNO = "
           "w.BOOKNO WHERE w.NAMERELEAS = 0 ORDER BY i.LOCKEY, w.BOOKNO",
           [&] {
             if (HasKeys(AQuery, false)) {
               lines[Int64Of(AQuery, "LOCKEY")].push_back(InmateLine(AQuery));
             }
           });
  return lines;
}

void WriteContainerFlags(TCustomDADataSet& AQuery, int AChanged) {
  WriteFlags(AQuery,
             "UPDATE CFGPROPC SET AVAILABLE = " + kContainerFlag +
                 " WHERE LOCKEY IN (SELECT LOCKEY FROM CFGPROPL) AND (AVAILABLE IS NULL OR "
                 "AVAILABLE <> " +
                 kContainerFlag + ")",
             "CFGPROPC", AChanged);
}

void WriteLocationFlags(TCustomDADataSet& AQuery, int AChanged) {
  WriteFlags(AQuery,
             "UPDATE CFGPROPL SET AVAILABLE = " + kLocationFlag +
                 " WHERE AVAILABLE IS NULL OR AVAILABLE <> " + kLocationFlag,
             "CFGPROPL", AChanged);
}

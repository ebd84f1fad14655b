// The program's query datasets: TVtCustomMSQuery, a TMSQuery that locks the
// record it edits or deletes (db/locking/dataset.h), and TVtMSQuery, which
// also keeps the index settings of older stored descriptions only to refuse
// them: a query that relies on them must be converted to the search query
// class.
#pragma once

#include <string>
#include <vector>

#include "core/persistent.h"
#include "db/locking/dataset.h"
#include "db/sqlserver/query.h"

class TVtCustomMSQuery : public TVtLockingDataSet<TMSQuery> {
 public:
  explicit TVtCustomMSQuery(TComponent* AOwner) : TVtLockingDataSet<TMSQuery>(AOwner) {}
};

// Index definitions of a stored description, by name and fields; kept, never used.
class TIndexDefs : public TPersistent {
 public:
  struct TIndexDef {
    std::string Name;
    std::string Fields;  // ";"-separated
  };

  int Count() const { return static_cast<int>(FItems.size()); }
  const TIndexDef& Items(int AIndex) const { return FItems.at(AIndex); }
  void Add(TIndexDef AItem) { FItems.push_back(std::move(AItem)); }

 private:
  std::vector<TIndexDef> FItems;
};

class TVtMSQuery : public TVtCustomMSQuery {
 public:
  // Empty index settings, AutoLoadIndexDefs true.
  explicit TVtMSQuery(TComponent* AOwner) : TVtCustomMSQuery(AOwner) {}

  const std::string& IndexName() const { return FIndexName; }
  void SetIndexName(const std::string& AValue) { FIndexName = AValue; }
  TIndexDefs& IndexDefs() { return FIndexDefs; }
  const TIndexDefs& IndexDefs() const { return FIndexDefs; }
  const std::string& TableName() const { return FTableName; }
  void SetTableName(const std::string& AValue) { FTableName = AValue; }
  bool AutoLoadIndexDefs() const { return FAutoLoadIndexDefs; }
  void SetAutoLoadIndexDefs(bool AValue) { FAutoLoadIndexDefs = AValue; }

  // Ends loading as the base does; then, outside a designer, throws
  // Exception "TVtMSQuery '<Name>' must be converted to TVtMSSearchQuery"
  // when any index setting differs from its default.
  void Loaded() override;

 private:
  std::string FIndexName;
  TIndexDefs FIndexDefs;
  std::string FTableName;
  bool FAutoLoadIndexDefs = true;
};

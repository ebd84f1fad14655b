// The property tables as the main window declares them: each table dataset,
// the table it reads, its link to a master, and its columns one by one. Kept
// as data: the window's stored description (app/main_form.desc) must agree
// with it, which its tests check.
#pragma once

#include <string_view>
#include <vector>

#include "db/values/field_type.h"

// One declared column: text is ftString with its size in characters; 32-bit
// ftInteger, 64-bit ftLargeint, boolean ftBoolean, ftDate, ftTime,
// ftDateTime, memo ftMemo, ftCurrency, floating point ftFloat, binary ftBlob.
struct TColumnDeclaration {
  std::string_view Name;
  TFieldType Type;
  int Size = 0;
  bool ReadOnly = false;
};

struct TTableDeclaration {
  std::string_view DataSet;  // the component's name, e.g. "tblCFGPropertyLocation"
  std::string_view TableName;
  std::string_view MasterSource;  // empty: no master
  std::string_view LinkField;     // master and detail column of the link
  std::vector<TColumnDeclaration> Columns;
};

// tblWarderly, tblCFGPropertyContainers, tblCFGPropertyLocation,
// tblInmProperty, tblInmPropertyItems, in the window's creation order.
// tblWarderly declares only the columns the pass's statements name and KORAID.
const std::vector<TTableDeclaration>& PropertyTableDeclarations();

// The declaration of the dataset named `ADataSet`; throws std::out_of_range
// for any other name.
const TTableDeclaration& PropertyTableDeclaration(std::string_view ADataSet);

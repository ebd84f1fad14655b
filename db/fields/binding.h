// How result columns meet fields: the field made for a column when the
// dataset declares none, and the checks a declared field must pass.
#pragma once

#include <memory>

#include "db/fields/field.h"
#include "db/odbc/command.h"

// A new field of the column's type (TIntegerField for ftInteger, ...),
// named and sized after `AColumn`, owned by nobody.
std::unique_ptr<TField> CreateFieldForColumn(const odbc::TColumnInfo& AColumn);

// Checks that the declared `AField` may read `AColumn`, raising for
// `ADataSet`: "Type mismatch for field '%s', expecting: %s actual: %s" when
// the column's type is outside the field's type class; "Size mismatch for
// field '%s', expecting: %d actual: %d" for a byte field of another size.
// A text field longer than its column and not read-only is shortened to it.
void BindDeclaredField(TField& AField, const odbc::TColumnInfo& AColumn,
                       const TComponent* ADataSet);

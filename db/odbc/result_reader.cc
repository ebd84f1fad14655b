#include "db/odbc/result_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "db/odbc/diagnostics.h"
#include "db/odbc/sql_api.h"
#include "db/odbc/wide_text.h"

namespace odbc {

namespace {

// Longer columns are large objects (text, ntext, image and the (max) kinds).
constexpr SQLULEN kMaxSized = 8000;

struct TypeMapping {
  std::string_view TypeName;
  TFieldType DataType;
};

// The server's type names, as the driver reports them, and the types of the
// fields created for them.
constexpr TypeMapping kTypes[] = {
    {"int", ftInteger},
    {"smallint", ftSmallint},
    {"tinyint", ftByte},
    {"bigint", ftLargeint},
    {"bit", ftBoolean},
    {"char", ftString},
    {"varchar", ftString},
    {"nchar", ftWideString},
    {"nvarchar", ftWideString},
    {"datetime", ftDateTime},
    {"smalldatetime", ftDateTime},
    {"datetime2", ftDateTime},
    {"date", ftDate},
    {"time", ftTime},
    {"money", ftCurrency},
    {"smallmoney", ftCurrency},
    {"decimal", ftFloat},
    {"numeric", ftFloat},
    {"float", ftFloat},
    {"real", ftSingle},
    {"uniqueidentifier", ftGuid},
    {"text", ftMemo},
    {"ntext", ftWideMemo},
    {"image", ftBlob},
    {"binary", ftBytes},
    {"varbinary", ftVarBytes},
    {"xml", ftWideMemo},
};

TFieldType FieldTypeOf(std::string_view ATypeName, SQLULEN ASize) {
  // Identity columns are reported as "int identity" and the like.
  ATypeName = ATypeName.substr(0, ATypeName.find(' '));
  TFieldType type = ftUnknown;
  for (const TypeMapping& mapping : kTypes) {
    if (mapping.TypeName == ATypeName) type = mapping.DataType;
  }
  // The driver reports the (max) kinds with size 0, text and ntext as long.
  if (ASize != 0 && ASize <= kMaxSized) return type;
  switch (type) {
    case ftString:
      return ftMemo;
    case ftWideString:
      return ftWideMemo;
    case ftVarBytes:
      return ftBlob;
    default:
      return type;
  }
}

bool IsLargeObject(TFieldType AType) {
  return AType == ftMemo || AType == ftWideMemo || AType == ftBlob;
}

bool IsText(TFieldType AType) {
  return AType == ftString || AType == ftWideString || AType == ftGuid || AType == ftMemo ||
         AType == ftWideMemo || AType == ftUnknown;
}

// How a column is fetched: its C type and the bytes one value needs.
struct ColumnBuffer {
  SQLSMALLINT CType;
  std::size_t Width;
  std::vector<unsigned char> Data;  // Width bytes per row
  std::vector<SQLLEN> Indicators;
};

ColumnBuffer BufferFor(const TColumnInfo& AColumn) {
  switch (AColumn.DataType) {
    case ftSmallint:
    case ftInteger:
    case ftByte:
      return {SQL_C_SLONG, sizeof(std::int32_t), {}, {}};
    case ftLargeint:
      return {SQL_C_SBIGINT, sizeof(std::int64_t), {}, {}};
    case ftBoolean:
      return {SQL_C_BIT, 1, {}, {}};
    case ftFloat:
    case ftSingle:
    case ftCurrency:
      return {SQL_C_DOUBLE, sizeof(double), {}, {}};
    case ftDateTime:
    case ftDate:
    case ftTime:
      return {SQL_C_TYPE_TIMESTAMP, sizeof(SQL_TIMESTAMP_STRUCT), {}, {}};
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
      return {SQL_C_BINARY, static_cast<std::size_t>(std::max(AColumn.Size, 1)), {}, {}};
    default:
      // uniqueidentifier: 36 characters; char(n) holds at most n characters
      return {SQL_C_WCHAR, (static_cast<std::size_t>(std::max(AColumn.Size, 36)) + 1) * 2, {}, {}};
  }
}

TVariant ValueOf(const TColumnInfo& AColumn, const ColumnBuffer& ABuffer,
                 const unsigned char* AData, SQLLEN AIndicator) {
  if (AIndicator == SQL_NULL_DATA) return TVariant();
  switch (ABuffer.CType) {
    case SQL_C_SLONG: {
      std::int32_t value;
      std::memcpy(&value, AData, sizeof(value));
      return value;
    }
    case SQL_C_SBIGINT: {
      std::int64_t value;
      std::memcpy(&value, AData, sizeof(value));
      return value;
    }
    case SQL_C_BIT:
      return *AData != 0;
    case SQL_C_DOUBLE: {
      double value;
      std::memcpy(&value, AData, sizeof(value));
      return value;
    }
    case SQL_C_TYPE_TIMESTAMP: {
      SQL_TIMESTAMP_STRUCT t;
      std::memcpy(&t, AData, sizeof(t));
      const int milliseconds = static_cast<int>(t.fraction / 1000000u);
      if (AColumn.DataType == ftTime) {
        return EncodeDateTime(1899, 12, 30, t.hour, t.minute, t.second, milliseconds);
      }
      return EncodeDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second, milliseconds);
    }
    case SQL_C_BINARY:
      // Sized columns fit their buffers; the minimum guards against a driver
      // that reports a longer value than the column holds.
      return TBytes(AData, AData + std::min<std::size_t>(AIndicator, ABuffer.Width));
    default:
      return FromSqlWide(
          reinterpret_cast<const SQLWCHAR*>(AData),
          std::min<std::size_t>(AIndicator, ABuffer.Width - sizeof(SQLWCHAR)) / sizeof(SQLWCHAR));
  }
}

// One value of a large-object column, read piece by piece with SQLGetData.
TVariant ReadLongValue(SQLHSTMT AStatement, SQLUSMALLINT AColumn, bool ABinary,
                       TComponent* AComponent) {
  const SQLSMALLINT c_type = ABinary ? SQL_C_BINARY : SQL_C_WCHAR;
  const std::size_t terminator = ABinary ? 0 : sizeof(SQLWCHAR);
  std::vector<unsigned char> data;
  unsigned char piece[16384];
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc =
        Check(SQLGetData(AStatement, AColumn, c_type, piece, sizeof(piece), &indicator),
              SQL_HANDLE_STMT, AStatement, AComponent);
    if (rc == SQL_NO_DATA) break;
    if (indicator == SQL_NULL_DATA) return TVariant();
    const std::size_t room = sizeof(piece) - terminator;
    const bool more = indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > room;
    const std::size_t got =
        more ? room - (ABinary ? 0 : room % sizeof(SQLWCHAR)) : static_cast<std::size_t>(indicator);
    data.insert(data.end(), piece, piece + got);
    if (!more) break;
  }
  if (ABinary) return TBytes(std::move(data));
  return FromSqlWide(reinterpret_cast<const SQLWCHAR*>(data.data()),
                     data.size() / sizeof(SQLWCHAR));
}

std::vector<std::vector<TVariant>> FetchRowByRow(SQLHSTMT AStatement,
                                                 const std::vector<TColumnInfo>& AColumns,
                                                 TComponent* AComponent) {
  std::vector<std::vector<TVariant>> rows;
  while (Check(SQLFetch(AStatement), SQL_HANDLE_STMT, AStatement, AComponent) != SQL_NO_DATA) {
    std::vector<TVariant>& row = rows.emplace_back();
    row.reserve(AColumns.size());
    for (std::size_t i = 0; i < AColumns.size(); ++i) {
      const auto column = static_cast<SQLUSMALLINT>(i + 1);
      if (IsLargeObject(AColumns[i].DataType) || IsText(AColumns[i].DataType) ||
          AColumns[i].DataType == ftBytes || AColumns[i].DataType == ftVarBytes) {
        const bool binary = !IsText(AColumns[i].DataType) && AColumns[i].DataType != ftMemo &&
                            AColumns[i].DataType != ftWideMemo;
        row.push_back(ReadLongValue(AStatement, column, binary, AComponent));
        continue;
      }
      ColumnBuffer buffer = BufferFor(AColumns[i]);
      buffer.Data.resize(buffer.Width);
      SQLLEN indicator = 0;
      Check(SQLGetData(AStatement, column, buffer.CType, buffer.Data.data(),
                       static_cast<SQLLEN>(buffer.Width), &indicator),
            SQL_HANDLE_STMT, AStatement, AComponent);
      row.push_back(ValueOf(AColumns[i], buffer, buffer.Data.data(), indicator));
    }
  }
  return rows;
}

std::vector<std::vector<TVariant>> FetchBlocks(SQLHSTMT AStatement,
                                               const std::vector<TColumnInfo>& AColumns,
                                               SQLULEN ABlockRows, TComponent* AComponent) {
  std::vector<ColumnBuffer> buffers;
  buffers.reserve(AColumns.size());
  for (std::size_t i = 0; i < AColumns.size(); ++i) {
    ColumnBuffer& buffer = buffers.emplace_back(BufferFor(AColumns[i]));
    buffer.Data.resize(buffer.Width * ABlockRows);
    buffer.Indicators.resize(ABlockRows);
    Check(SQLBindCol(AStatement, static_cast<SQLUSMALLINT>(i + 1), buffer.CType, buffer.Data.data(),
                     static_cast<SQLLEN>(buffer.Width), buffer.Indicators.data()),
          SQL_HANDLE_STMT, AStatement, AComponent);
  }
  SQLULEN fetched = 0;
  Check(SQLSetStmtAttr(AStatement, SQL_ATTR_ROW_ARRAY_SIZE,
                       reinterpret_cast<SQLPOINTER>(ABlockRows), 0),
        SQL_HANDLE_STMT, AStatement, AComponent);
  Check(SQLSetStmtAttr(AStatement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0), SQL_HANDLE_STMT,
        AStatement, AComponent);
  // The bindings point into this frame; they must not outlive it, whatever happens.
  struct Unbind {
    SQLHSTMT statement;
    ~Unbind() {
      SQLFreeStmt(statement, SQL_UNBIND);
      SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
      SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(1), 0);
    }
  } unbind{AStatement};

  std::vector<std::vector<TVariant>> rows;
  while (Check(SQLFetch(AStatement), SQL_HANDLE_STMT, AStatement, AComponent) != SQL_NO_DATA) {
    for (SQLULEN r = 0; r < fetched; ++r) {
      std::vector<TVariant>& row = rows.emplace_back();
      row.reserve(AColumns.size());
      for (std::size_t i = 0; i < AColumns.size(); ++i) {
        const ColumnBuffer& buffer = buffers[i];
        row.push_back(ValueOf(AColumns[i], buffer, buffer.Data.data() + r * buffer.Width,
                              buffer.Indicators[r]));
      }
    }
  }
  return rows;
}

}  // namespace

std::vector<TColumnInfo> DescribeColumns(SQLHSTMT AStatement, TComponent* AComponent) {
  SQLSMALLINT count = 0;
  Check(SQLNumResultCols(AStatement, &count), SQL_HANDLE_STMT, AStatement, AComponent);
  std::vector<TColumnInfo> columns;
  columns.reserve(count);
  for (SQLUSMALLINT i = 1; i <= count; ++i) {
    SQLWCHAR name[256] = {};
    SQLSMALLINT name_length = 0;
    SQLSMALLINT sql_type = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
    Check(SQLDescribeColW(AStatement, i, name, std::size(name), &name_length, &sql_type, &size,
                          &digits, &nullable),
          SQL_HANDLE_STMT, AStatement, AComponent);
    SQLWCHAR type_name[128] = {};
    SQLSMALLINT type_name_bytes = 0;
    Check(SQLColAttributeW(AStatement, i, SQL_DESC_TYPE_NAME, type_name, sizeof(type_name),
                           &type_name_bytes, nullptr),
          SQL_HANDLE_STMT, AStatement, AComponent);
    TColumnInfo& column = columns.emplace_back();
    column.Name = FromSqlWide(name, std::min<std::size_t>(name_length, std::size(name) - 1));
    column.TypeName = FromSqlWide(type_name, static_cast<std::size_t>(type_name_bytes) / 2);
    column.DataType = FieldTypeOf(column.TypeName, size);
    const bool sized =
        IsText(column.DataType) || column.DataType == ftBytes || column.DataType == ftVarBytes;
    column.Size =
        sized && size <= kMaxSized && column.DataType != ftGuid ? static_cast<int>(size) : 0;
    column.FixedLength =
        column.TypeName == "char" || column.TypeName == "nchar" || column.TypeName == "binary";
    column.Nullable = nullable != SQL_NO_NULLS;
  }
  return columns;
}

std::vector<std::vector<TVariant>> FetchAllRows(SQLHSTMT AStatement,
                                                const std::vector<TColumnInfo>& AColumns,
                                                int AFetchRows, TComponent* AComponent) {
  const bool has_large_objects =
      std::any_of(AColumns.begin(), AColumns.end(),
                  [](const TColumnInfo& c) { return IsLargeObject(c.DataType); });
  if (has_large_objects) return FetchRowByRow(AStatement, AColumns, AComponent);
  return FetchBlocks(AStatement, AColumns, static_cast<SQLULEN>(std::max(AFetchRows, 1)),
                     AComponent);
}

}  // namespace odbc

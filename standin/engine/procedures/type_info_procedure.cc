// sp_datatype_info: the types the server offers, as ODBC's SQLGetTypeInfo
// reports them (ODBC 3 codes).
#include "execute/session_impl.h"
#include "values/collation.h"
#include "values/sql_types.h"

namespace standin {

using namespace engine;

namespace {

struct TypeRow {
  const char* name;
  std::int64_t data_type;
  std::int64_t precision;
  const char* prefix;  // nullptr: NULL
  const char* suffix;
  const char* create_params;
  std::int64_t case_sensitive;
  std::int64_t searchable;  // 1 LIKE only, 2 all but LIKE, 3 all
  int unsigned_attribute;   // -1: NULL
  std::int64_t money;
  int auto_increment;  // -1: NULL
  int minimum_scale;   // -1: NULL
  int maximum_scale;
  std::int64_t sql_data_type;
  int datetime_sub;  // -1: NULL
  int radix;         // -1: NULL
};

// In DATA_TYPE order, as SQL Server lists them.
constexpr TypeRow kTypes[] = {
    {"uniqueidentifier", -11, 36, "'", "'", nullptr, 0, 2, -1, 0, -1, -1, -1, -11, -1, -1},
    {"ntext", -10, 1073741823, "N'", "'", nullptr, 0, 1, -1, 0, -1, -1, -1, -10, -1, -1},
    {"nvarchar", -9, 4000, "N'", "'", "max length", 0, 3, -1, 0, -1, -1, -1, -9, -1, -1},
    {"nchar", -8, 4000, "N'", "'", "length", 0, 3, -1, 0, -1, -1, -1, -8, -1, -1},
    {"bit", -7, 1, nullptr, nullptr, nullptr, 0, 2, -1, 0, -1, 0, 0, -7, -1, -1},
    {"tinyint", -6, 3, nullptr, nullptr, nullptr, 0, 2, 1, 0, 0, 0, 0, -6, -1, 10},
    {"tinyint identity", -6, 3, nullptr, nullptr, nullptr, 0, 2, 1, 0, 1, 0, 0, -6, -1, 10},
    {"bigint", -5, 19, nullptr, nullptr, nullptr, 0, 2, 0, 0, 0, 0, 0, -5, -1, 10},
    {"bigint identity", -5, 19, nullptr, nullptr, nullptr, 0, 2, 0, 0, 1, 0, 0, -5, -1, 10},
    {"image", -4, 2147483647, "0x", nullptr, nullptr, 0, 0, -1, 0, -1, -1, -1, -4, -1, -1},
    {"varbinary", -3, 8000, "0x", nullptr, "max length", 0, 2, -1, 0, -1, -1, -1, -3, -1, -1},
    {"binary", -2, 8000, "0x", nullptr, "length", 0, 2, -1, 0, -1, -1, -1, -2, -1, -1},
    {"text", -1, 2147483647, "'", "'", nullptr, 0, 1, -1, 0, -1, -1, -1, -1, -1, -1},
    {"char", 1, 8000, "'", "'", "length", 0, 3, -1, 0, -1, -1, -1, 1, -1, -1},
    {"numeric", 2, 38, nullptr, nullptr, "precision,scale", 0, 2, 0, 0, 0, 0, 38, 2, -1, 10},
    {"numeric() identity", 2, 38, nullptr, nullptr, "precision", 0, 2, 0, 0, 1, 0, 0, 2, -1, 10},
    {"decimal", 3, 38, nullptr, nullptr, "precision,scale", 0, 2, 0, 0, 0, 0, 38, 3, -1, 10},
    {"money", 3, 19, "$", nullptr, nullptr, 0, 2, 0, 1, 0, 4, 4, 3, -1, 10},
    {"smallmoney", 3, 10, "$", nullptr, nullptr, 0, 2, 0, 1, 0, 4, 4, 3, -1, 10},
    {"decimal() identity", 3, 38, nullptr, nullptr, "precision", 0, 2, 0, 0, 1, 0, 0, 3, -1, 10},
    {"int", 4, 10, nullptr, nullptr, nullptr, 0, 2, 0, 0, 0, 0, 0, 4, -1, 10},
    {"int identity", 4, 10, nullptr, nullptr, nullptr, 0, 2, 0, 0, 1, 0, 0, 4, -1, 10},
    {"smallint", 5, 5, nullptr, nullptr, nullptr, 0, 2, 0, 0, 0, 0, 0, 5, -1, 10},
    {"smallint identity", 5, 5, nullptr, nullptr, nullptr, 0, 2, 0, 0, 1, 0, 0, 5, -1, 10},
    {"float", 6, 53, nullptr, nullptr, nullptr, 0, 2, 0, 0, 0, -1, -1, 6, -1, 2},
    {"real", 7, 24, nullptr, nullptr, nullptr, 0, 2, 0, 0, 0, -1, -1, 7, -1, 2},
    {"varchar", 12, 8000, "'", "'", "max length", 0, 3, -1, 0, -1, -1, -1, 12, -1, -1},
    {"date", 91, 10, "'", "'", nullptr, 0, 3, -1, 0, -1, -1, -1, 9, 1, -1},
    {"time", 92, 16, "'", "'", "scale", 0, 3, -1, 0, -1, 0, 7, 9, 2, -1},
    {"datetime2", 93, 27, "'", "'", "scale", 0, 3, -1, 0, -1, 0, 7, 9, 3, -1},
    {"datetime", 93, 23, "'", "'", nullptr, 0, 3, -1, 0, -1, 3, 3, 9, 3, -1},
    {"smalldatetime", 93, 16, "'", "'", nullptr, 0, 3, -1, 0, -1, 0, 0, 9, 3, -1},
};

Value Text(const char* s) {
  return s ? Value{std::string(s)} : Value{};
}
Value Maybe(int n) {
  return n < 0 ? Value{} : Value{std::int64_t{n}};
}

}  // namespace

void SessionImpl::TypeInfo(std::vector<Param> params, ResultSink& sink) {
  std::int64_t wanted = 0;
  for (std::size_t i = 0; i < params.size(); ++i) {
    const Param& p = params[i];
    bool is_type = p.name.empty() ? i == 0 : CompareCi(p.name, "@data_type") == 0;
    if (is_type)
      if (auto* n = std::get_if<std::int64_t>(&p.value)) wanted = *n;
  }
  SqlType small = MakeType(TypeId::SmallInt);
  SqlType sysname = MakeType(TypeId::NVarChar, 128);
  SqlType short_text = MakeType(TypeId::VarChar, 32);
  std::vector<Column> columns = {{"TYPE_NAME", sysname},
                                 {"DATA_TYPE", small},
                                 {"PRECISION", MakeType(TypeId::Int)},
                                 {"LITERAL_PREFIX", short_text},
                                 {"LITERAL_SUFFIX", short_text},
                                 {"CREATE_PARAMS", short_text},
                                 {"NULLABLE", small},
                                 {"CASE_SENSITIVE", small},
                                 {"SEARCHABLE", small},
                                 {"UNSIGNED_ATTRIBUTE", small},
                                 {"MONEY", small},
                                 {"AUTO_INCREMENT", small},
                                 {"LOCAL_TYPE_NAME", sysname},
                                 {"MINIMUM_SCALE", small},
                                 {"MAXIMUM_SCALE", small},
                                 {"SQL_DATA_TYPE", small},
                                 {"SQL_DATETIME_SUB", small},
                                 {"NUM_PREC_RADIX", MakeType(TypeId::Int)},
                                 {"INTERVAL_PRECISION", small},
                                 {"USERTYPE", small}};
  sink.Columns(columns);
  std::int64_t count = 0;
  for (const TypeRow& t : kTypes) {
    if (wanted != 0 && t.data_type != wanted) continue;
    sink.Row({std::string(t.name),
              t.data_type,
              t.precision,
              Text(t.prefix),
              Text(t.suffix),
              Text(t.create_params),
              std::int64_t{1},
              t.case_sensitive,
              t.searchable,
              Maybe(t.unsigned_attribute),
              t.money,
              Maybe(t.auto_increment),
              std::string(t.name),
              Maybe(t.minimum_scale),
              Maybe(t.maximum_scale),
              t.sql_data_type,
              Maybe(t.datetime_sub),
              Maybe(t.radix),
              Value{},
              std::int64_t{0}});
    ++count;
  }
  CountDone(sink, count);
  sink.ReturnStatus(0);
}

}  // namespace standin

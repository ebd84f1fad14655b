// DATEADD, DATEDIFF and DATEPART on canonical date/time values.
#include <cctype>
#include <cmath>
#include <string>

#include "storage/sql_functions.h"
#include "values/datetime.h"
#include "values/sql_types.h"

namespace standin::engine {

namespace {

enum class Part {
  Year,
  Quarter,
  Month,
  DayOfYear,
  Day,
  Week,
  Weekday,
  Hour,
  Minute,
  Second,
  Millisecond
};

std::optional<Part> PartFromName(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const std::pair<const char*, Part> kParts[] = {
      {"year", Part::Year},       {"yy", Part::Year},
      {"yyyy", Part::Year},       {"quarter", Part::Quarter},
      {"qq", Part::Quarter},      {"q", Part::Quarter},
      {"month", Part::Month},     {"mm", Part::Month},
      {"m", Part::Month},         {"dayofyear", Part::DayOfYear},
      {"dy", Part::DayOfYear},    {"y", Part::DayOfYear},
      {"day", Part::Day},         {"dd", Part::Day},
      {"d", Part::Day},           {"week", Part::Week},
      {"wk", Part::Week},         {"ww", Part::Week},
      {"weekday", Part::Weekday}, {"dw", Part::Weekday},
      {"w", Part::Weekday},       {"hour", Part::Hour},
      {"hh", Part::Hour},         {"minute", Part::Minute},
      {"mi", Part::Minute},       {"n", Part::Minute},
      {"second", Part::Second},   {"ss", Part::Second},
      {"s", Part::Second},        {"millisecond", Part::Millisecond},
      {"ms", Part::Millisecond}};
  for (const auto& [n, p] : kParts)
    if (name == n) return p;
  return std::nullopt;
}

std::string Text(sqlite3_value* v) {
  const unsigned char* t = sqlite3_value_text(v);
  return t ? std::string(reinterpret_cast<const char*>(t), sqlite3_value_bytes(v)) : std::string();
}

// Milliseconds since 1900-01-01.
std::int64_t TotalMs(const DateTimeParts& p) {
  return (DaysSince1900(p.year, p.month, p.day) * 86400 + p.hour * 3600 + p.minute * 60 +
          p.second) *
             1000 +
         p.nanos / 1000000;
}

DateTimeParts FromMs(std::int64_t ms) {
  DateTimeParts p;
  std::int64_t days = ms >= 0 ? ms / 86400000 : -((-ms + 86399999) / 86400000);
  std::int64_t rest = ms - days * 86400000;
  DateFromDays1900(days, p.year, p.month, p.day);
  p.hour = static_cast<int>(rest / 3600000);
  p.minute = static_cast<int>(rest / 60000 % 60);
  p.second = static_cast<int>(rest / 1000 % 60);
  p.nanos = rest % 1000 * 1000000;
  return p;
}

std::int64_t Days(const DateTimeParts& p) {
  return DaysSince1900(p.year, p.month, p.day);
}

[[noreturn]] void BadPart(const std::string& name, const char* function) {
  throw BatchAbort(Msg(155, 15, 1, "'" + name + "' is not a recognized " + function + " option."));
}

// tsql_dateadd(part, number, canonical datetime, type id, scale)
void DateAddFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  try {
    std::string name = Text(argv[0]);
    std::optional<Part> part = PartFromName(name);
    if (!part) BadPart(name, "dateadd");
    double amount = sqlite3_value_double(argv[1]);
    std::int64_t n = static_cast<std::int64_t>(std::trunc(amount));
    DateTimeParts p = ParseCanonical(Text(argv[2]));
    SqlType type = MakeType(static_cast<TypeId>(sqlite3_value_int(argv[3])), 0, 0,
                            static_cast<std::uint8_t>(sqlite3_value_int(argv[4])));
    if (*part == Part::Year || *part == Part::Quarter || *part == Part::Month) {
      std::int64_t months = p.year * 12 + (p.month - 1) +
                            n * (*part == Part::Year      ? 12
                                 : *part == Part::Quarter ? 3
                                                          : 1);
      p.year = static_cast<int>(months / 12);
      p.month = static_cast<int>(months % 12) + 1;
      static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
      bool leap = (p.year % 4 == 0 && p.year % 100 != 0) || p.year % 400 == 0;
      int last = p.month == 2 && leap ? 29 : kDays[p.month - 1];
      if (p.day > last) p.day = last;
    } else {
      std::int64_t unit = *part == Part::Week          ? 604800000
                          : *part == Part::Hour        ? 3600000
                          : *part == Part::Minute      ? 60000
                          : *part == Part::Second      ? 1000
                          : *part == Part::Millisecond ? 1
                                                       : 86400000;
      // A datetime plus a fraction of a day keeps the fraction.
      std::int64_t delta =
          unit == 86400000 ? static_cast<std::int64_t>(std::llround(amount * unit)) : n * unit;
      std::int64_t nanos = p.nanos % 1000000;
      p = FromMs(TotalMs(p) + delta);
      p.nanos += nanos;
    }
    std::optional<std::string> out = FormatCanonical(p, type);
    if (!out)
      throw Terminating(
          Msg(517, 16, 1,
              "Adding a value to a '" + TypeName(type.id) + "' column caused an overflow."));
    sqlite3_result_text64(ctx, out->data(), out->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  } catch (const SqlError& e) {
    static_cast<FunctionContext*>(sqlite3_user_data(ctx))->pending_error = e;
    sqlite3_result_error(ctx, e.what(), -1);
  }
}

// tsql_datediff(part, start, end): the part boundaries crossed from start to end.
void DateDiffFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  try {
    std::string name = Text(argv[0]);
    std::optional<Part> part = PartFromName(name);
    if (!part || *part == Part::Weekday) BadPart(name, "datediff");
    DateTimeParts a = ParseCanonical(Text(argv[1]));
    DateTimeParts b = ParseCanonical(Text(argv[2]));
    std::int64_t diff;
    switch (*part) {
      case Part::Year:
        diff = b.year - a.year;
        break;
      case Part::Quarter:
        diff = (b.year * 4 + (b.month - 1) / 3) - (a.year * 4 + (a.month - 1) / 3);
        break;
      case Part::Month:
        diff = (b.year * 12 + b.month) - (a.year * 12 + a.month);
        break;
      case Part::Week: {
        // Weeks start on Sunday; 1900-01-01 was a Monday.
        auto week = [](std::int64_t days) {
          std::int64_t shifted = days + 1;
          return shifted >= 0 ? shifted / 7 : -((-shifted + 6) / 7);
        };
        diff = week(Days(b)) - week(Days(a));
        break;
      }
      case Part::Hour:
        diff = (Days(b) * 24 + b.hour) - (Days(a) * 24 + a.hour);
        break;
      case Part::Minute:
        diff =
            (Days(b) * 1440 + b.hour * 60 + b.minute) - (Days(a) * 1440 + a.hour * 60 + a.minute);
        break;
      case Part::Second:
        diff = TotalMs(b) / 1000 - TotalMs(a) / 1000;
        break;
      case Part::Millisecond:
        diff = TotalMs(b) - TotalMs(a);
        break;
      default:
        diff = Days(b) - Days(a);
        break;
    }
    if (diff > 2147483647 || diff < -2147483648LL)
      throw Terminating(
          Msg(535, 16, 0,
              "The datediff function resulted in an overflow. The number of dateparts "
              "separating two date/time instances is too large. Try to use datediff "
              "with a less precise datepart."));
    sqlite3_result_int64(ctx, diff);
  } catch (const SqlError& e) {
    static_cast<FunctionContext*>(sqlite3_user_data(ctx))->pending_error = e;
    sqlite3_result_error(ctx, e.what(), -1);
  }
}

// tsql_datepart(part, value)
void DatePartFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  try {
    std::string name = Text(argv[0]);
    std::optional<Part> part = PartFromName(name);
    if (!part) BadPart(name, "datepart");
    DateTimeParts p = ParseCanonical(Text(argv[1]));
    std::int64_t days = Days(p);
    std::int64_t v = 0;
    switch (*part) {
      case Part::Year:
        v = p.year;
        break;
      case Part::Quarter:
        v = (p.month - 1) / 3 + 1;
        break;
      case Part::Month:
        v = p.month;
        break;
      case Part::DayOfYear:
        v = days - DaysSince1900(p.year, 1, 1) + 1;
        break;
      case Part::Day:
        v = p.day;
        break;
      case Part::Week: {
        std::int64_t jan1 = DaysSince1900(p.year, 1, 1);
        std::int64_t jan1_weekday = ((jan1 % 7) + 7 + 1) % 7;  // 0 = Sunday
        v = (days - jan1 + jan1_weekday) / 7 + 1;
        break;
      }
      case Part::Weekday:
        v = ((days % 7) + 7 + 1) % 7 + 1;
        break;  // Sunday = 1
      case Part::Hour:
        v = p.hour;
        break;
      case Part::Minute:
        v = p.minute;
        break;
      case Part::Second:
        v = p.second;
        break;
      case Part::Millisecond:
        v = p.nanos / 1000000;
        break;
    }
    sqlite3_result_int64(ctx, v);
  } catch (const SqlError& e) {
    static_cast<FunctionContext*>(sqlite3_user_data(ctx))->pending_error = e;
    sqlite3_result_error(ctx, e.what(), -1);
  }
}

}  // namespace

void RegisterDateFunctions(sqlite3* db, FunctionContext* context) {
  sqlite3_create_function_v2(db, "tsql_dateadd", 5, SQLITE_UTF8, context, DateAddFn, nullptr,
                             nullptr, nullptr);
  sqlite3_create_function_v2(db, "tsql_datediff", 3, SQLITE_UTF8, context, DateDiffFn, nullptr,
                             nullptr, nullptr);
  sqlite3_create_function_v2(db, "tsql_datepart", 2, SQLITE_UTF8, context, DatePartFn, nullptr,
                             nullptr, nullptr);
}

}  // namespace standin::engine

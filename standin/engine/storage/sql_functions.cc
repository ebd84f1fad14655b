#include "storage/sql_functions.h"

#include <cmath>
#include <random>
#include <string>

#include "storage/storage.h"
#include "values/collation.h"
#include "values/convert.h"

namespace standin::engine {

namespace {

Value ValueOf(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      return static_cast<std::int64_t>(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
      return sqlite3_value_double(v);
    case SQLITE_TEXT:
      return std::string(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                         sqlite3_value_bytes(v));
    case SQLITE_BLOB: {
      const auto* data = static_cast<const std::uint8_t*>(sqlite3_value_blob(v));
      return Bytes(data, data + sqlite3_value_bytes(v));
    }
    default:
      return std::monostate{};
  }
}

void Result(sqlite3_context* ctx, const Value& v) {
  if (auto* i = std::get_if<std::int64_t>(&v)) {
    sqlite3_result_int64(ctx, *i);
  } else if (auto* d = std::get_if<double>(&v)) {
    sqlite3_result_double(ctx, *d);
  } else if (auto* s = std::get_if<std::string>(&v)) {
    sqlite3_result_text64(ctx, s->data(), s->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  } else if (auto* b = std::get_if<Bytes>(&v)) {
    sqlite3_result_blob64(ctx, b->data(), b->size(), SQLITE_TRANSIENT);
  } else {
    sqlite3_result_null(ctx);
  }
}

std::string Text(sqlite3_value* v) {
  const unsigned char* t = sqlite3_value_text(v);
  return t ? std::string(reinterpret_cast<const char*>(t), sqlite3_value_bytes(v)) : std::string();
}

bool AnyNull(int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
  return false;
}

// Runs `body`, turning a SqlError into a failed step that carries it.
template <typename F>
void Guarded(sqlite3_context* ctx, F&& body) {
  try {
    body();
  } catch (const SqlError& e) {
    auto* context = static_cast<FunctionContext*>(sqlite3_user_data(ctx));
    context->pending_error = e;
    sqlite3_result_error(ctx, e.what(), -1);
  }
}

SqlType TypeArgs(sqlite3_value** argv) {
  SqlType t;
  t.id = static_cast<TypeId>(sqlite3_value_int(argv[0]));
  t.length = sqlite3_value_int(argv[1]);
  t.precision = static_cast<std::uint8_t>(sqlite3_value_int(argv[2]));
  t.scale = static_cast<std::uint8_t>(sqlite3_value_int(argv[3]));
  return t;
}

// tsql_convert(value, to id, length, precision, scale, from id, length, precision, scale,
//              assign [, style])
void ConvertFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guarded(ctx, [&] {
    auto* context = static_cast<FunctionContext*>(sqlite3_user_data(ctx));
    SqlType to = TypeArgs(argv + 1);
    SqlType from = TypeArgs(argv + 5);
    ConvertMode mode = sqlite3_value_int(argv[9]) ? ConvertMode::Assign : ConvertMode::Explicit;
    int style = argc > 10 ? sqlite3_value_int(argv[10]) : -1;
    Value canonical = FromStorage(ValueOf(argv[0]), from);
    Value converted = style >= 0 ? ConvertStyled(canonical, from, to, style, context->date_order)
                                 : Convert(canonical, from, to, mode, context->date_order);
    Result(ctx, ToStorage(converted, to));
  });
}

void LikeFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  char32_t escape = 0;
  if (argc == 3) {
    std::vector<char32_t> e = DecodeUtf8(Text(argv[2]));
    if (!e.empty()) escape = e[0];
  }
  sqlite3_result_int(ctx, LikeMatch(Text(argv[0]), Text(argv[1]), escape) ? 1 : 0);
}

void DivideFn(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool modulo) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  Guarded(ctx, [&] {
    bool integers = sqlite3_value_numeric_type(argv[0]) == SQLITE_INTEGER &&
                    sqlite3_value_numeric_type(argv[1]) == SQLITE_INTEGER;
    if (integers) {
      std::int64_t a = sqlite3_value_int64(argv[0]), b = sqlite3_value_int64(argv[1]);
      if (b == 0) throw DivideByZero();
      if (b == -1) return sqlite3_result_int64(ctx, modulo ? 0 : -a);
      sqlite3_result_int64(ctx, modulo ? a % b : a / b);
    } else {
      double a = sqlite3_value_double(argv[0]), b = sqlite3_value_double(argv[1]);
      if (b == 0) throw DivideByZero();
      sqlite3_result_double(ctx, modulo ? std::fmod(a, b) : a / b);
    }
  });
}

void UpperFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  Result(ctx, UpperCase(Text(argv[0])));
}

void LowerFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  Result(ctx, LowerCase(Text(argv[0])));
}

// LEN: characters without the trailing blanks.
void LenFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  std::string t = Text(argv[0]);
  while (!t.empty() && t.back() == ' ') t.pop_back();
  sqlite3_result_int64(ctx, static_cast<std::int64_t>(CharCount(t)));
}

void CharIndexFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  std::vector<char32_t> needle = DecodeUtf8(UpperCase(Text(argv[0])));
  std::vector<char32_t> hay = DecodeUtf8(UpperCase(Text(argv[1])));
  std::int64_t start = argc == 3 ? std::max<std::int64_t>(1, sqlite3_value_int64(argv[2])) : 1;
  if (needle.empty()) return sqlite3_result_int64(ctx, 0);
  for (std::size_t i = static_cast<std::size_t>(start - 1); i + needle.size() <= hay.size(); ++i)
    if (std::equal(needle.begin(), needle.end(), hay.begin() + static_cast<std::ptrdiff_t>(i)))
      return sqlite3_result_int64(ctx, static_cast<std::int64_t>(i + 1));
  sqlite3_result_int64(ctx, 0);
}

void NewIdFn(sqlite3_context* ctx, int, sqlite3_value**) {
  thread_local std::mt19937_64 random{std::random_device{}()};
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string s;
  for (int i = 0; i < 32; ++i) {
    if (i == 8 || i == 12 || i == 16 || i == 20) s += '-';
    int nibble = static_cast<int>(random() & 15);
    if (i == 12) nibble = 4;
    if (i == 16) nibble = 8 | (nibble & 3);
    s += kHex[nibble];
  }
  Result(ctx, s);
}

int CollateCi(void*, int na, const void* a, int nb, const void* b) {
  return CompareCi(std::string_view(static_cast<const char*>(a), na),
                   std::string_view(static_cast<const char*>(b), nb));
}

void Register(sqlite3* db, const char* name, int args, FunctionContext* context,
              void (*fn)(sqlite3_context*, int, sqlite3_value**), bool deterministic = true) {
  int flags = SQLITE_UTF8 | (deterministic ? SQLITE_DETERMINISTIC : 0);
  sqlite3_create_function_v2(db, name, args, flags, context, fn, nullptr, nullptr, nullptr);
}

}  // namespace

void RegisterFunctions(sqlite3* db, FunctionContext* context) {
  sqlite3_create_collation_v2(db, "TSQLCI", SQLITE_UTF8, nullptr, CollateCi, nullptr);
  Register(db, "tsql_convert", 10, context, ConvertFn, false);
  Register(db, "tsql_convert", 11, context, ConvertFn, false);
  Register(db, "tsql_like", 2, context, LikeFn);
  Register(db, "tsql_like", 3, context, LikeFn);
  Register(
      db, "tsql_div", 2, context,
      [](sqlite3_context* c, int n, sqlite3_value** v) { DivideFn(c, n, v, false); }, false);
  Register(
      db, "tsql_mod", 2, context,
      [](sqlite3_context* c, int n, sqlite3_value** v) { DivideFn(c, n, v, true); }, false);
  Register(db, "tsql_upper", 1, context, UpperFn);
  Register(db, "tsql_lower", 1, context, LowerFn);
  Register(db, "tsql_len", 1, context, LenFn);
  Register(db, "tsql_charindex", 2, context, CharIndexFn);
  Register(db, "tsql_charindex", 3, context, CharIndexFn);
  Register(db, "tsql_newid", 0, context, NewIdFn, false);
  RegisterDateFunctions(db, context);
}

}  // namespace standin::engine

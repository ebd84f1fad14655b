#include "storage/sqlite_db.h"

namespace standin::engine {

namespace {

[[noreturn]] void Fail(sqlite3* db, int rc) {
  throw SqliteFailure(sqlite3_extended_errcode(db) ? sqlite3_extended_errcode(db) : rc,
                      db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path) {
  int rc =
      sqlite3_open_v2(path.c_str(), &db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close_v2(db_);
    throw SqliteFailure(rc, message);
  }
  sqlite3_extended_result_codes(db_, 1);
}

SqliteConnection::~SqliteConnection() {
  sqlite3_close_v2(db_);
}

void SqliteConnection::Exec(const std::string& sql) {
  char* error = nullptr;
  int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    std::string message = error ? error : sqlite3_errstr(rc);
    sqlite3_free(error);
    throw SqliteFailure(sqlite3_extended_errcode(db_), message);
  }
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
  int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
  if (rc != SQLITE_OK) Fail(db, rc);
}

SqliteStatement::~SqliteStatement() {
  sqlite3_finalize(stmt_);
}

void SqliteStatement::Bind(const std::vector<Value>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) Bind(static_cast<int>(i) + 1, values[i]);
}

void SqliteStatement::Bind(int index, const Value& v) {
  int rc;
  if (auto* i = std::get_if<std::int64_t>(&v)) {
    rc = sqlite3_bind_int64(stmt_, index, *i);
  } else if (auto* d = std::get_if<double>(&v)) {
    rc = sqlite3_bind_double(stmt_, index, *d);
  } else if (auto* s = std::get_if<std::string>(&v)) {
    rc = sqlite3_bind_text64(stmt_, index, s->data(), s->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  } else if (auto* b = std::get_if<Bytes>(&v)) {
    rc = sqlite3_bind_blob64(stmt_, index, b->data(), b->size(), SQLITE_TRANSIENT);
  } else {
    rc = sqlite3_bind_null(stmt_, index);
  }
  if (rc != SQLITE_OK) Fail(db_, rc);
}

bool SqliteStatement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  int code = sqlite3_extended_errcode(db_);
  std::string message = sqlite3_errmsg(db_);
  sqlite3_reset(stmt_);
  throw SqliteFailure(code ? code : rc, message);
}

void SqliteStatement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

int SqliteStatement::ColumnCount() const {
  return sqlite3_column_count(stmt_);
}

Value SqliteStatement::Column(int index) const {
  switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_INTEGER:
      return static_cast<std::int64_t>(sqlite3_column_int64(stmt_, index));
    case SQLITE_FLOAT:
      return sqlite3_column_double(stmt_, index);
    case SQLITE_TEXT: {
      const unsigned char* text = sqlite3_column_text(stmt_, index);
      return std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(stmt_, index));
    }
    case SQLITE_BLOB: {
      const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, index));
      return Bytes(data, data + sqlite3_column_bytes(stmt_, index));
    }
    default:
      return std::monostate{};
  }
}

std::string QuoteName(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string QuoteText(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

}  // namespace standin::engine

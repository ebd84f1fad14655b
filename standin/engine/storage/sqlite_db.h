// Thin RAII wrappers over SQLite connections and statements. Failures throw
// SqliteFailure carrying SQLite's result code, which callers turn into the
// SQL Server error it stands for.
#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "sql_value.h"

namespace standin::engine {

class SqliteFailure : public std::runtime_error {
 public:
  SqliteFailure(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }  // extended result code
 private:
  int code_;
};

class SqliteConnection {
 public:
  // Opens (creating if missing) the file, or ":memory:".
  explicit SqliteConnection(const std::string& path);
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  sqlite3* get() const { return db_; }
  // Runs SQL without results (several statements allowed).
  void Exec(const std::string& sql);

 private:
  sqlite3* db_ = nullptr;
};

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Binds storage values to ?1..?n in order.
  void Bind(const std::vector<Value>& values);
  void Bind(int index, const Value& value);  // index from 1
  // Advances to the next row: true when a row is available.
  bool Step();
  void Reset();
  int ColumnCount() const;
  // The column of the current row as a storage value (null, int64, double, text, blob).
  Value Column(int index) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// "name" quoted for SQLite.
std::string QuoteName(std::string_view name);
// 'text' quoted as an SQLite string literal.
std::string QuoteText(std::string_view text);

}  // namespace standin::engine

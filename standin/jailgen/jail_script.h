// The T-SQL script that creates and fills the site and jail databases.
#pragma once

#include <string>

#include "jail_sample.h"

namespace jailgen {

struct ScriptOptions {
  std::string site_db = "VANTOR";
  std::string jail_db = "JAIL";
  bool create_databases = true;  // false: the databases exist already and are empty
};

// SQL Server refuses more rows than this in one INSERT ... VALUES.
constexpr int kMaxRowsPerInsert = 1000;

// The ConnString the site database stores for program 'JAIL'.
std::string JailConnString(const std::string& jail_db);

// The whole script: batches separated by lines holding only "GO". Uses only
// CREATE DATABASE, USE, CREATE TABLE, CREATE INDEX, multi-row INSERT and
// SET IDENTITY_INSERT (keyed rows go in out of key order).
std::string MakeScript(const Sample& sample, const ScriptOptions& options);

}  // namespace jailgen

// A jail whose texts hold what breaks careless programs: NULLs, blanks around
// names, letters beyond ASCII, quotes, brackets, percent signs and
// semicolons. The pass must decide every flag as for plain names, log each
// text as it is stored, and never send one to the server as part of a
// statement's text unless inside a correctly quoted literal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "installed_program.h"
#include "odbc_test_connection.h"

namespace e2e_test {
namespace {

using standin_test::OdbcTestConnection;
using standin_test::SqlParam;
using Text = std::optional<std::string>;

// What each text becomes, in turn. Codes hold at most 5 characters.
const Text kCodes[] = {"O'B",  "\"Q\"",      "[B]",  "9%;", std::nullopt,
                       " p  ", "Zo\xC3\xAB", "';--", "]'[", "%_[^"};
const Text kNames[] = {"O'Brien's",
                       "\"Quoted\"",
                       "[Bracketed]",
                       "100% sure",
                       "a;b;c",
                       std::nullopt,
                       "  padded  ",
                       "Zo\xC3\xAB \xC3\x91"
                       "and\xC3\xBA",
                       "';DROP--",
                       "x]]'[y",
                       "N'x' + '",
                       "\\%[;]'\""};
// Booking numbers are keys: never NULL, and each one different.
const std::string kBookNumbers[] = {"O'B-", "\"Q\"-",      "[B]-", "9%;-",
                                    " p-",  "Zo\xC3\xAB-", "';--", "]'[-"};

// Gives every text of the columns the pass reads a token of its own, so
// that the log of a pass names each one where it shows it.
class Tokens {
 public:
  std::string Next() {
    char token[8];
    std::snprintf(token, sizeof token, "^%04d", static_cast<int>(FValues.size()));
    FValues.emplace_back();
    return token;
  }
  // Makes the text of `AToken` `AValue`.
  void Set(const std::string& AToken, Text AValue) {
    FValues[std::stoi(AToken.substr(1))] = AValue;
  }
  std::optional<std::string> ValueOf(const std::string& AToken) const {
    return FValues[std::stoi(AToken.substr(1))];
  }
  std::size_t size() const { return FValues.size(); }

  // `ALog` with each token replaced by its text as the program's datasets
  // read it: without trailing blanks, and empty for NULL.
  std::string Replaced(const std::string& ALog) const {
    std::string text;
    const std::regex token("\\^[0-9]{4}");
    std::size_t at = 0;
    for (auto m = std::sregex_iterator(ALog.begin(), ALog.end(), token);
         m != std::sregex_iterator(); ++m) {
      text += ALog.substr(at, m->position() - at);
      std::string value = ValueOf(m->str()).value_or("");
      value.erase(value.find_last_not_of(' ') + 1);
      text += value;
      at = m->position() + m->length();
    }
    return text + ALog.substr(at);
  }

 private:
  std::vector<Text> FValues;
};

SqlParam TextParam(const Text& AValue) {
  return AValue ? SqlParam::VarChar(*AValue) : SqlParam::Null(SQL_VARCHAR);
}

std::vector<std::string> Column(OdbcTestConnection& AJail, const std::string& ASql) {
  std::vector<std::string> values;
  for (const auto& row : AJail.Query(ASql).rows) values.push_back(*row[0]);
  return values;
}

// Each row's "key:flag" of `ATable`, NULL as "-".
std::map<std::string, Text> Flags(OdbcTestConnection& AJail, const std::string& ATable,
                                  const std::string& AKey) {
  std::map<std::string, Text> flags;
  for (const auto& row : AJail.Query("SELECT " + AKey + ", AVAILABLE FROM " + ATable).rows) {
    flags[*row[0]] = row[1];
  }
  return flags;
}

// The keys whose flag differs between `ABefore` and `AAfter`; a NULL that
// became a value counts.
int Changed(const std::map<std::string, Text>& ABefore, const std::map<std::string, Text>& AAfter) {
  int changed = 0;
  for (const auto& [key, flag] : AAfter) changed += ABefore.at(key) != flag ? 1 : 0;
  return changed;
}

void RestoreFlags(OdbcTestConnection& AJail, const std::string& ATable, const std::string& AKey,
                  const std::map<std::string, Text>& AFlags) {
  for (const auto& [key, flag] : AFlags) {
    AJail.Exec("UPDATE " + ATable + " SET AVAILABLE = ? WHERE " + AKey + " = ?",
               {flag ? SqlParam::Bit(*flag == "1") : SqlParam::Null(SQL_BIT),
                SqlParam::BigInt(std::stoll(key))});
  }
}

// NULLs in the columns the pass reads or decides on, the same for both
// passes: flags, counts, keys that link the tables, release marks.
void AddNulls(OdbcTestConnection& AJail) {
  AJail.Exec("UPDATE CFGPROPL SET ALLOW = NULL, ONLOC = NULL WHERE LOCKEY % 2 = 0");
  AJail.Exec("UPDATE CFGPROPL SET AVAILABLE = NULL WHERE LOCKEY = 3");
  AJail.Exec("UPDATE CFGPROPC SET AVAILABLE = NULL WHERE CONTAINERID % 3 = 0");
  AJail.Exec(
      "INSERT INTO CFGPROPC (LOCKEY, LOCATIONCODE, CONTAINER, AVAILABLE) "
      "VALUES (NULL, NULL, NULL, NULL)");
  AJail.Exec("UPDATE WARDERLY SET SEX = NULL, DOB = NULL, RELDATE = NULL");
  AJail.Exec("UPDATE WARDERLY SET NAMERELEAS = NULL WHERE BOOKNO LIKE '%1' OR BOOKNO LIKE '%2'");
  AJail.Exec("UPDATE WRIPROP SET LOCKEY = NULL WHERE PROPERTYNO LIKE '%5'");
  AJail.Exec("UPDATE WRIPROP SET BOOKNO = NULL WHERE PROPERTYNO LIKE '%9'");
  AJail.Exec("UPDATE WRIPROP SET COMMENTS = NULL, LOCATION = NULL");
  AJail.Exec("UPDATE WRPITEMS SET [RELEASE] = NULL WHERE PROPITEMNO LIKE '%1'");
  AJail.Exec("UPDATE WRPITEMS SET CONTAINERID = NULL WHERE PROPITEMNO LIKE '%4'");
  AJail.Exec("UPDATE WRPITEMS SET BOOKNO = NULL WHERE PROPITEMNO LIKE '%3'");
  AJail.Exec("UPDATE WRPITEMS SET COMMENTS = NULL, DESCRIPTION = NULL, LOCATION = NULL");
}

// The flags the pass must leave, worked out row by row: a booking is held
// only when NAMERELEAS is 0, an item counts only when RELEASE is 0, a NULL
// key matches nothing, and a container of no location is left alone.
struct ExpectedFlags {
  std::map<std::string, Text> locations;
  std::map<std::string, Text> containers;
};

ExpectedFlags Compute(OdbcTestConnection& AJail) {
  std::set<std::string> held;
  for (const auto& row : AJail.Query("SELECT BOOKNO, NAMERELEAS FROM WARDERLY").rows) {
    if (row[1] == "0") held.insert(*row[0]);
  }
  std::set<std::string> withHeldProperty;  // LOCKEY
  for (const auto& row : AJail.Query("SELECT LOCKEY, BOOKNO FROM WRIPROP").rows) {
    if (row[0] && row[1] && held.contains(*row[1])) withHeldProperty.insert(*row[0]);
  }
  std::set<std::pair<std::string, std::string>> used;  // (LOCKEY, CONTAINERID)
  for (const auto& row :
       AJail.Query("SELECT LOCKEY, CONTAINERID, [RELEASE], BOOKNO FROM WRPITEMS").rows) {
    if (row[0] && row[1] && row[2] == "0" && row[3] && held.contains(*row[3])) {
      used.insert({*row[0], *row[1]});
    }
  }
  ExpectedFlags expected;
  std::map<std::string, std::pair<int, int>> usage;  // LOCKEY -> (containers, in use)
  for (const auto& row : AJail.Query("SELECT CONTAINERID, LOCKEY, AVAILABLE FROM CFGPROPC").rows) {
    Text flag = row[2];
    if (row[1] && !withHeldProperty.contains(*row[1])) {
      flag = "1";
    } else if (row[1]) {
      const bool inUse = used.contains({*row[1], *row[0]});
      flag = inUse ? "0" : "1";
      usage[*row[1]].first += 1;
      usage[*row[1]].second += inUse ? 1 : 0;
    }
    expected.containers[*row[0]] = flag;
  }
  for (const std::string& lockey : Column(AJail, "SELECT LOCKEY FROM CFGPROPL")) {
    const auto [containers, inUse] = usage[lockey];
    expected.locations[lockey] =
        !withHeldProperty.contains(lockey) || inUse < containers ? "1" : "0";
  }
  return expected;
}

// Gives each text the pass reads a token, and each booking number one that
// its property records and items follow.
Tokens TokenizeTexts(OdbcTestConnection& AJail) {
  Tokens tokens;
  for (const std::string& key : Column(AJail, "SELECT LOCKEY FROM CFGPROPL")) {
    AJail.Exec("UPDATE CFGPROPL SET LOCATION = ?, LOCATIONCODE = ? WHERE LOCKEY = ?",
               {SqlParam::VarChar(tokens.Next()), SqlParam::VarChar(tokens.Next()),
                SqlParam::BigInt(std::stoll(key))});
  }
  for (const std::string& key : Column(AJail, "SELECT CONTAINERID FROM CFGPROPC")) {
    AJail.Exec("UPDATE CFGPROPC SET CONTAINER = ?, LOCATIONCODE = ? WHERE CONTAINERID = ?",
               {SqlParam::VarChar(tokens.Next()), SqlParam::VarChar(tokens.Next()),
                SqlParam::BigInt(std::stoll(key))});
  }
  for (const std::string& bookNo : Column(AJail, "SELECT BOOKNO FROM WARDERLY")) {
    const std::string token = tokens.Next();
    AJail.Exec(
        "UPDATE WARDERLY SET BOOKNO = ?, KORAID = ?, LNAME = ?, FNAME = ?, MNAME = ? "
        "WHERE BOOKNO = ?",
        {SqlParam::VarChar(token), SqlParam::VarChar(tokens.Next()),
         SqlParam::VarChar(tokens.Next()), SqlParam::VarChar(tokens.Next()),
         SqlParam::VarChar(tokens.Next()), SqlParam::VarChar(bookNo)});
    for (const char* table : {"WRIPROP", "WRPITEMS"}) {
      AJail.Exec(std::string("UPDATE ") + table + " SET BOOKNO = ? WHERE BOOKNO = ?",
                 {SqlParam::VarChar(token), SqlParam::VarChar(bookNo)});
    }
  }
  return tokens;
}

// Writes each token's hostile text over it, in every table that holds it.
void WriteHostileTexts(OdbcTestConnection& AJail, Tokens& ATokens) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> columns = {
      {"CFGPROPL", {"LOCATION", "LOCATIONCODE"}},
      {"CFGPROPC", {"CONTAINER", "LOCATIONCODE"}},
      {"WARDERLY", {"KORAID", "LNAME", "FNAME", "MNAME"}},
  };
  std::size_t turn = 0;
  for (const auto& [table, names] : columns) {
    for (const std::string& column : names) {
      for (const std::string& token : Column(AJail, "SELECT " + column + " FROM " + table +
                                                        " WHERE " + column + " IS NOT NULL")) {
        const Text value = column == "LOCATIONCODE" ? kCodes[turn % std::size(kCodes)]
                                                    : kNames[turn % std::size(kNames)];
        ++turn;
        ATokens.Set(token, value);
        AJail.Exec("UPDATE " + table + " SET " + column + " = ? WHERE " + column + " = ?",
                   {TextParam(value), SqlParam::VarChar(token)});
      }
    }
  }
  for (const std::string& token : Column(AJail, "SELECT BOOKNO FROM WARDERLY")) {
    const std::string value = kBookNumbers[turn % std::size(kBookNumbers)] + std::to_string(turn);
    ++turn;
    ATokens.Set(token, value);
    for (const char* table : {"WARDERLY", "WRIPROP", "WRPITEMS"}) {
      AJail.Exec(std::string("UPDATE ") + table + " SET BOOKNO = ? WHERE BOOKNO = ?",
                 {SqlParam::VarChar(value), SqlParam::VarChar(token)});
    }
  }
}

// `ALog` with each run of inmate lines sorted: the inmates' query has no
// order, so the server lists them as it finds them.
std::string InmatesSorted(const std::string& ALog) {
  std::vector<std::string> lines;
  std::istringstream in(ALog);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  auto isInmate = [](const std::string& ALine) { return ALine.starts_with(" --> "); };
  for (auto run = lines.begin(); run != lines.end();) {
    run = std::find_if(run, lines.end(), isInmate);
    const auto end = std::find_if_not(run, lines.end(), isInmate);
    std::sort(run, end);
    run = end;
  }
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// `ASql` split into its text outside string literals and the literals'
// contents (quotes undoubled); an unclosed literal runs to the end.
struct SqlParts {
  std::string outside;
  std::vector<std::string> literals;
};

SqlParts SplitLiterals(const std::string& ASql) {
  SqlParts parts;
  for (std::size_t i = 0; i < ASql.size(); ++i) {
    if (ASql[i] != '\'') {
      parts.outside += ASql[i];
      continue;
    }
    std::string literal;
    for (++i; i < ASql.size(); ++i) {
      if (ASql[i] == '\'' && i + 1 < ASql.size() && ASql[i + 1] == '\'') {
        literal += '\'';
        ++i;
      } else if (ASql[i] == '\'') {
        break;
      } else {
        literal += ASql[i];
      }
    }
    parts.outside += ' ';
    parts.literals.push_back(literal);
  }
  return parts;
}

// Whether `AValue` reaches the server in `ATraceLine` other than as a
// parameter or inside a correctly quoted literal of a statement's text.
bool SentUnquoted(const std::string& ATraceLine, const std::string& AValue) {
  std::vector<std::string> statements;
  if (const std::size_t batch = ATraceLine.find(" batch: "); batch != std::string::npos) {
    statements.push_back(ATraceLine.substr(batch + 8));
  } else {
    // The trace quotes every parameter; @stmt carries a statement's text.
    const SqlParts rpc = SplitLiterals(ATraceLine);
    if (rpc.outside.find(AValue) != std::string::npos) return true;
    for (std::size_t at = ATraceLine.find("@stmt=N'"); at != std::string::npos;
         at = ATraceLine.find("@stmt=N'", at + 1)) {
      statements.push_back(SplitLiterals(ATraceLine.substr(at + 7)).literals.at(0));
    }
  }
  for (const std::string& statement : statements) {
    // A quote in the value that was not doubled ends the literal early.
    if (AValue.find('\'') != std::string::npos && statement.find(AValue) != std::string::npos) {
      return true;
    }
    if (SplitLiterals(statement).outside.find(AValue) != std::string::npos) return true;
  }
  return false;
}

TEST(HostileJailTest, SentUnquotedTellsLiteralsFromSplicedText) {
  struct Case {
    const char* line;
    bool unquoted;
  };
  const Case cases[] = {
      {"spid=51 batch: SELECT 1 FROM T WHERE N = 'O''Brien''s'", false},
      {"spid=51 batch: SELECT 1 FROM T WHERE N = 'O'Brien's'", true},
      {"spid=51 batch: SELECT 1 FROM T WHERE N = O'Brien's", true},
      {"spid=51 rpc sp_executesql: @stmt=N'SELECT 1 WHERE N = @P1' @params=N'@P1 varchar(30)' "
       "@P1 varchar(30)='O''Brien''s'",
       false},
      {"spid=51 rpc sp_executesql: @stmt=N'SELECT 1 WHERE N = ''O''''Brien''''s''' "
       "@params=N''",
       false},
      {"spid=51 rpc sp_executesql: @stmt=N'SELECT 1 WHERE N = ''O''Brien''s''' @params=N''", true},
  };
  for (const Case& c : cases) EXPECT_EQ(SentUnquoted(c.line, "O'Brien's"), c.unquoted) << c.line;
}

TEST(HostileJailTest, FlagsAndLogAsForPlainNamesAndNoTextSpliced) {
  InstalledProgram program(SYNCH_RUNNER_PATH);
  OdbcTestConnection jail(program.Server().port(), {"sa", "", "JAIL"});
  AddNulls(jail);
  Tokens tokens = TokenizeTexts(jail);
  const auto locationsBefore = Flags(jail, "CFGPROPL", "LOCKEY");
  const auto containersBefore = Flags(jail, "CFGPROPC", "CONTAINERID");
  const ExpectedFlags expected = Compute(jail);

  const RunResult plain = program.Run();
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  const auto locations = Flags(jail, "CFGPROPL", "LOCKEY");
  const auto containers = Flags(jail, "CFGPROPC", "CONTAINERID");
  EXPECT_EQ(locations, expected.locations);
  EXPECT_EQ(containers, expected.containers);
  ASSERT_NE(containers, containersBefore) << "the pass had nothing to correct";
  // The drift line counts the flags written over, NULLs among them.
  EXPECT_EQ(plain.err, CompletedPass(Changed(locationsBefore, locations),
                                     Changed(containersBefore, containers)));

  RestoreFlags(jail, "CFGPROPL", "LOCKEY", locationsBefore);
  RestoreFlags(jail, "CFGPROPC", "CONTAINERID", containersBefore);
  WriteHostileTexts(jail, tokens);
  const std::size_t traceBefore = program.ProgramTrace().size();
  const RunResult hostile = program.Run();
  EXPECT_EQ(hostile.exitCode, 0) << hostile.err;
  EXPECT_EQ(hostile.err, plain.err);
  EXPECT_EQ(Flags(jail, "CFGPROPL", "LOCKEY"), locations);
  EXPECT_EQ(Flags(jail, "CFGPROPC", "CONTAINERID"), containers);
  EXPECT_EQ(InmatesSorted(hostile.out), InmatesSorted(tokens.Replaced(plain.out)));

  std::vector<std::string> values;
  for (const Text& value : kCodes) {
    if (value && value->find_first_not_of(' ') != std::string::npos) values.push_back(*value);
  }
  for (const Text& value : kNames) {
    if (value) values.push_back(*value);
  }
  values.insert(values.end(), std::begin(kBookNumbers), std::end(kBookNumbers));
  const std::vector<std::string> trace = program.ProgramTrace();
  for (std::size_t i = traceBefore; i < trace.size(); ++i) {
    for (const std::string& value : values) {
      EXPECT_FALSE(SentUnquoted(trace[i], value)) << value << " in " << trace[i];
    }
  }
}

}  // namespace
}  // namespace e2e_test

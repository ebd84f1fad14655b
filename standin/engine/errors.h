// The errors the engine raises, with SQL Server's numbers, severities, states
// and texts. Messages are built with line 0; the batch runner stamps the
// line of the statement that failed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server_message.h"

namespace standin::engine {

// A failure of one statement. `aborts_batch` says whether SQL Server stops
// the rest of the batch after it (compile and name errors) or goes on with
// the next statement (most run-time errors). `terminates_statement` marks a
// run-time error that undoes its statement: when that statement changes
// data, SQL Server follows the error with 3621.
class SqlError : public ServerError {
 public:
  SqlError(std::vector<ServerMessage> messages, bool aborts_batch,
           bool terminates_statement = false)
      : ServerError(std::move(messages)),
        aborts_batch_(aborts_batch),
        terminates_statement_(terminates_statement) {}
  bool aborts_batch() const { return aborts_batch_; }
  bool terminates_statement() const { return terminates_statement_; }

 private:
  bool aborts_batch_;
  bool terminates_statement_;
};

// One message record (line 0: filled in by the batch runner).
ServerMessage Msg(std::int32_t number, std::uint8_t severity, std::uint8_t state, std::string text);

// Statement-terminating run-time error. The batch goes on.
SqlError Terminating(ServerMessage message);
// 3621 "The statement has been terminated.", the information SQL Server adds
// after a terminating error of a statement that changes data.
SqlError StatementTerminated();
// A run-time error after which the batch goes on, without 3621.
SqlError StatementOnly(ServerMessage message);
// A compile or resolution error, or a failed conversion: the batch stops.
SqlError BatchAbort(ServerMessage message);

SqlError SyntaxError(std::string_view near);              // 102, or 156 for reserved keywords
SqlError SyntaxErrorAtEnd();                              // 102 near the end of the batch
SqlError UnclosedQuote(std::string_view rest);            // 105
SqlError UnclosedComment();                               // 113
SqlError IdentifierTooLong(std::string_view name);        // 103
SqlError TempNameTooLong(std::string_view name);          // 193
SqlError InvalidColumn(std::string_view name);            // 207
SqlError AmbiguousColumn(std::string_view name);          // 209
SqlError InvalidObject(std::string_view name);            // 208
SqlError MultipartNotBound(std::string_view name);        // 4104
SqlError ObjectExists(std::string_view name);             // 2714
SqlError CannotDropTable(std::string_view name);          // 3701
SqlError CannotDropDatabase(std::string_view name);       // 3701 for databases
SqlError DatabaseInUse(std::string_view name);            // 3702
SqlError DatabaseMissing(std::string_view name);          // 911
SqlError DatabaseExists(std::string_view name);           // 1801
SqlError UnknownType(int column, std::string_view type);  // 2715
SqlError DuplicateColumn(std::string_view column, std::string_view table);  // 2705
SqlError IndexExists(std::string_view index, std::string_view table);       // 1913
SqlError NullNotAllowed(std::string_view column, std::string_view table,
                        std::string_view verb);  // 515
SqlError PrimaryKeyViolation(std::string_view constraint, std::string_view table,
                             std::string_view key);  // 2627
SqlError UniqueIndexViolation(std::string_view table, std::string_view index,
                              std::string_view key);                            // 2601
SqlError IdentityInsert(std::string_view table);                                // 544
SqlError IdentityValueRequired(std::string_view table);                         // 545
SqlError NoIdentityColumn(std::string_view table);                              // 8106
SqlError IdentityInsertElsewhere(std::string_view on, std::string_view table);  // 8107
SqlError ColumnCountMismatch();                                                 // 213
SqlError TooManyValues();                                                       // 110
SqlError TooFewValues();                                                        // 109
SqlError Truncation();                                                          // 8152
SqlError DateConversion();                                                      // 241
SqlError DateOutOfRange(std::string_view from_type, std::string_view to_type);  // 242
SqlError ValueConversion(std::string_view from_type, std::string_view value,
                         std::string_view to_type);                                   // 245
SqlError ArithmeticOverflow(std::string_view to_type);                                // 8115
SqlError ConversionNotAllowed(std::string_view from_type, std::string_view to_type);  // 529
SqlError NumericConversion(std::string_view from_type, std::string_view to_type);     // 8114
SqlError DivideByZero();                                                              // 8134
SqlError LockTimeout();                                                               // 1222
SqlError Deadlock(std::int32_t spid);                                                 // 1205
SqlError UndeclaredVariable(std::string_view name);                                   // 137
SqlError UnknownFunction(std::string_view name);                                      // 195
SqlError UnknownProcedure(std::string_view name);                                     // 2812
SqlError MissingParameter(std::string_view procedure, std::string_view param);        // 201
SqlError TooManyArguments(std::string_view procedure);                                // 8144
SqlError MissingPreparedParameter(std::string_view decl, std::string_view param);     // 8178
SqlError UnknownHandle(std::int32_t handle);                                          // 8179
SqlError NotInGroupBy(std::string_view column);                                       // 8120
SqlError SubqueryColumns();                                                           // 116
SqlError KillSelf();                                                                  // 6104
SqlError KillUnknown(std::int32_t spid);                                              // 6106
SqlError CommitWithoutBegin();                                                        // 3902
SqlError RollbackWithoutBegin();                                                      // 3903
SqlError UnknownTableHint(std::string_view hint);                                     // 321
SqlError ReadUncommittedTarget();                                                     // 1065
SqlError NotSupported(std::string_view what);  // 40000-range: the stand-in lacks it

}  // namespace standin::engine

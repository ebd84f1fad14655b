// What a lock worker reports to the test that started it: one line per
// event on its standard output, written whole with a single write so that
// a worker killed at any moment leaves only complete lines behind.
#pragma once

#include <string>
#include <vector>

namespace lock_contention {

enum class TWorkerEventKind {
  Ready,    // connected and the dataset open
  Posted,   // Value: the counter the post wrote to Key
  Refused,  // Key's edit refused; Refusal holds the error's message and fields
  Holding,  // Key locked, Value: the counter read under the lock; the worker now waits to be killed
  Failed,   // any other error; Text: its message. The worker ends.
};

// The fields of a refused lock as the error carried them.
struct TRefusalFields {
  std::string Message = {};
  std::string DatabaseName = {};
  std::string TableName = {};
  std::string UniqueKey = {};
  std::string ComputerName = {};
  std::string UserName = {};
  std::string ProgramName = {};
  double TimeLocked = 0;

  bool operator==(const TRefusalFields&) const = default;
};

struct TWorkerEvent {
  TWorkerEventKind Kind = TWorkerEventKind::Ready;
  std::string Key = {};
  int Value = 0;
  TRefusalFields Refusal = {};
  std::string Text = {};

  bool operator==(const TWorkerEvent&) const = default;
};

// `AEvent` as one line, ending in "\n"; tabs separate the fields, and
// backslashes, tabs, carriage returns and line feeds inside them are escaped.
std::string FormatEvent(const TWorkerEvent& AEvent);

// The events of the complete lines of `AText`; a last line without its "\n"
// is still being written and is left out. Throws std::runtime_error on a line
// FormatEvent cannot have written.
std::vector<TWorkerEvent> ParseEvents(const std::string& AText);

}  // namespace lock_contention

// The workers' report lines: whatever a refusal's message or an error's text
// holds comes back as it was, and a line being written is not read.
#include "worker_events.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using lock_contention::FormatEvent;
using lock_contention::ParseEvents;
using lock_contention::TWorkerEvent;
using lock_contention::TWorkerEventKind;

TEST(WorkerEventsTest, EveryEventComesBackAsItWasWritten) {
  const std::vector<TWorkerEvent> events = {
      {.Kind = TWorkerEventKind::Ready},
      {.Kind = TWorkerEventKind::Posted, .Key = "R1", .Value = 41},
      {.Kind = TWorkerEventKind::Holding, .Key = "it's]9", .Value = -3},
      {.Kind = TWorkerEventKind::Refused,
       .Key = "R2",
       .Refusal = {"The requested lock could not be granted.\r\n\r\n\tTable Name: C\\T",
                   "Contention", "COUNTERS", "R2", "h\u00f6st", "user", "lock_worker",
                   46000.123456789012}},
      {.Kind = TWorkerEventKind::Failed, .Text = "line one\nline two\\n\t"},
  };
  std::string text;
  for (const TWorkerEvent& event : events) text += FormatEvent(event);
  EXPECT_EQ(ParseEvents(text), events);
}

TEST(WorkerEventsTest, ALineStillBeingWrittenIsLeftOut) {
  const std::string whole =
      FormatEvent({.Kind = TWorkerEventKind::Posted, .Key = "R1", .Value = 1});
  const std::string next = FormatEvent({.Kind = TWorkerEventKind::Posted, .Key = "R1", .Value = 2});
  EXPECT_EQ(ParseEvents(whole + next.substr(0, next.size() - 1)).size(), 1u);
}

TEST(WorkerEventsTest, LinesNoWorkerWritesAreRejected) {
  const std::string posted = FormatEvent({.Kind = TWorkerEventKind::Posted, .Key = "R1"});
  const std::vector<std::string> lines = {
      "\n",
      "posted\tR1\n",
      "sleeping" + posted.substr(posted.find('\t')),
      "posted\tR\\x1" + posted.substr(posted.find("\t0\t")),
      "posted\tR1\tmany" + posted.substr(posted.find("\t0\t") + 2),
  };
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    EXPECT_THROW(ParseEvents(line), std::runtime_error);
  }
}

}  // namespace

// A fault-free pass of the window over a fault jail, recorded: the requests
// it sent in order, and how much of its log it had written before sending
// each. From these follow, for a pass ended at its k-th request, the log it
// leaves and the flags it has written.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "fault_jail.h"

namespace faults_test {

// A trace line without its "spid=N " prefix: the request as sent.
std::string RequestOf(const std::string& ATraceLine);

class ReferencePass {
 public:
  // Runs the pass in a window of its own on `AJail`, whose flags must be as
  // generated; leaves them settled.
  explicit ReferencePass(FaultJail& AJail);

  // The requests of the pass, from the one the start button sent first.
  const std::vector<std::string>& Requests() const { return FRequests; }
  // The window's log after the pass, as LogText gives it.
  std::string Log() const { return LogBefore(FRequests.size() + 1); }
  // The log written before request `AIndex` (1-based) was sent.
  std::string LogBefore(std::size_t AIndex) const;
  // `AFrom` with the flag updates among requests 1 .. AIndex - 1 applied;
  // `ASample` tells which containers a location has.
  JailFlags FlagsBefore(std::size_t AIndex, JailFlags AFrom, const jailgen::Sample& ASample) const;

 private:
  std::vector<std::string> FRequests;
  std::string FLog;  // lines ended by LF
  // FLogBefore[i]: characters of FLog written before request i + 1.
  std::vector<std::size_t> FLogBefore;
};

}  // namespace faults_test

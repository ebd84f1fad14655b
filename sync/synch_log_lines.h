// The lines of the conflicts log, each built exactly as operators and the
// tools that read saved logs have always seen them (odd spacing included).
#pragma once

#include <cstdint>
#include <string>

#include "db/dataset/dataset.h"

// The location a log line is about.
struct TLogLocation {
  std::string Name;
  std::string Code;
  std::int32_t Key;
};

// "===========================" (27 signs), which opens and closes each block.
std::string BlockRule();
// Block A: the location holds no property of a held inmate.
std::string LocationReleasedLine(const TLogLocation& ALocation);
// Line 2 of the container blocks.
std::string ContainerLine(const TLogLocation& ALocation, const std::string& AContainerName,
                          std::int32_t AContainerKey);
// " --> LNAME, FNAME MNAME - BookNo: BOOKNO" from `AInmates`' current row.
std::string InmateLine(const TDataSet& AInmates);
// Block S-some, and block S-status with `AStatusText` (which ends in " / ").
std::string SomeAvailableLine(const TLogLocation& ALocation);
std::string StatusLine(const TLogLocation& ALocation, const std::string& AStatusText);
// The first line of the over-use report.
std::string OverUseLine(const TLogLocation& ALocation);

// Saving the conflicts log: a file named after the day of the month and the
// time of day, in the current directory, in the system's ANSI code page.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

// "ddhhnnss.log" for `ALocal`: day of the month, hours (24-hour clock),
// minutes and seconds, two digits each; the 3rd at 14:05:09 is "03140509.log".
std::string LogFileName(const std::tm& ALocal);

// What a saved log holds: `ALogText` (UTF-8, line breaks as they stand) in
// the ANSI code page (platform/ansi_text.h), preceded by the UTF-8
// byte-order mark when that code page is UTF-8. An empty log is no bytes.
std::string SavedLogBytes(std::string_view ALogText);

// Writes SavedLogBytes(ALogText) to `AFileName`, replacing the file if it
// exists, as platform::WriteNewFile does: on POSIX hosts readable by its
// owner only, a symbolic link at the name refused. Throws Exception "Cannot
// create file "<full path>". <reason>" when it cannot be created.
void SaveLogAs(const std::string& AFileName, std::string_view ALogText);

// SaveLogAs under LogFileName(the local time now) in the current directory.
void SaveLog(std::string_view ALogText);

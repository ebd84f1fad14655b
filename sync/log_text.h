// The conflicts log is an editable text; appending a line must respect what
// the operator may have typed after the last line break.
#pragma once

#include <string>
#include <string_view>

// Appends `ALine` to `ALog` followed by CR LF; when `ALog` is not empty and
// does not end in a line break, the CR LF goes before `ALine` instead.
void AppendLogLine(std::string& ALog, std::string_view ALine);

// Connection strings with an overlay: a component may change, add or remove
// entries of the site's base connection string without copying it.
#pragma once

#include <string>

// `AOriginal` with each entry of `AOverlay` applied in order. Both are lists
// of entries separated by ";" (an empty text is one empty entry, a trailing
// ";" adds none); an entry's name is its text before the first "=" and its
// value the text after it, and an entry without "=" has no name that any
// lookup finds. For each overlay entry with name N (empty when it has no "="),
// taking the value V of the first overlay entry named N: when V is empty, the
// first original entry named N is removed; otherwise it becomes N=V in the
// overlay's spelling, or N=V is appended when there is none. Names compare
// without regard to case (platform/text_case.h). The entries are joined with
// ";" between them.
//   ("A=1;Data Source=X;C=3", "data source=Y;C=") -> "A=1;data source=Y"
std::string OverlayConnectionString(const std::string& AOriginal, const std::string& AOverlay);

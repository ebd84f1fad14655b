// The statements of the synchronization pass, each run through the one
// reusable query: the reset before it, its parameter declarations, its text
// and its run sequence. Keys are pasted into the text or bound as 32-bit
// integers; every parameter is an input parameter. Server errors propagate.
#pragma once

#include <cstdint>

#include "db/access/dataset.h"

// Held property headers at location `ALocKey` (full reset; prepare, open,
// read, close).
std::int32_t CountHeldProperty(TCustomDADataSet& AQuery, std::int32_t ALocKey);
// Sets the location available, then all of its containers (each a full
// reset; prepare, execute).
void ReleaseLocation(TCustomDADataSet& AQuery, std::int32_t ALocKey);
void ReleaseContainersOf(TCustomDADataSet& AQuery, std::int32_t ALocKey);
// Unreleased items of held bookings in one container (short reset; open,
// read, close).
std::int32_t CountHeldItems(TCustomDADataSet& AQuery, std::int32_t ALocKey,
                            std::int32_t AContainerKey);
// Writes one container's flag (full reset; prepare, execute).
void UpdateContainer(TCustomDADataSet& AQuery, std::int32_t ALocKey, std::int32_t AContainerKey,
                     bool AAvailable);
// Opens the query on the held bookings with unreleased items in one
// container (short reset; open). Columns BOOKNO, KORAID, LNAME, FNAME, MNAME.
void OpenContainerInmates(TCustomDADataSet& AQuery, std::int32_t ALocKey,
                          std::int32_t AContainerKey);
// As OpenContainerInmates, for items anywhere at the location.
void OpenLocationInmates(TCustomDADataSet& AQuery, std::int32_t ALocKey);
// Writes the location's flag (full reset; prepare, execute).
void UpdateLocation(TCustomDADataSet& AQuery, std::int32_t ALocKey, bool AAvailable);

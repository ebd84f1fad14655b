// The statements of the set-based synchronization pass, each run through the
// one reusable query: a fixed number of them whatever the jail's size. Every
// read is a whole table's worth, grouped or joined on the server; no data
// value is pasted into a text. Server errors propagate.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "db/access/dataset.h"

// (LOCKEY, CONTAINERID) of a container.
using TContainerRef = std::pair<std::int64_t, std::int64_t>;

// Starts the transaction the pass writes in, reading serializably until it
// ends so that no row the pass decides from can change before it writes.
void BeginPassTransaction(TCustomDADataSet& AQuery);
// Commits it; then the session reads committed rows again.
void CommitPassTransaction(TCustomDADataSet& AQuery);
// Rolls back whatever transaction is open; then the session reads committed
// rows again.
void RollBackPassTransaction(TCustomDADataSet& AQuery);

// Property headers of held bookings by LOCKEY (the location count statement
// for every location at once); locations without any are left out.
std::map<std::int64_t, std::int64_t> ReadHeldProperty(TCustomDADataSet& AQuery);
// Unreleased items of held bookings by container (the container count
// statement for every container at once); containers without any are left out.
std::map<TContainerRef, std::int64_t> ReadHeldItems(TCustomDADataSet& AQuery);
// The inmate lines (InmateLine) of the held bookings with unreleased items,
// by container and by location: what the container inmates and location
// inmates statements list for each, in the order they list them.
std::map<TContainerRef, std::vector<std::string>> ReadContainerInmates(TCustomDADataSet& AQuery);
std::map<std::int64_t, std::vector<std::string>> ReadLocationInmates(TCustomDADataSet& AQuery);

// Writes the AVAILABLE flag of every container of a location, then of every
// location, by the rules the pass decides them with, touching only the rows
// whose flag differs. Throws when the rows changed are not `AChanged`, the
// count the pass decided: what is written is then not what was logged.
void WriteContainerFlags(TCustomDADataSet& AQuery, int AChanged);
void WriteLocationFlags(TCustomDADataSet& AQuery, int AChanged);

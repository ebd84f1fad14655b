#include "fault_jail.h"

#include <ostream>
#include <set>
#include <stdexcept>
#include <utility>

#include "jail_script.h"
#include "odbc_test_connection.h"
#include "script_loader.h"

namespace faults_test {
namespace {

constexpr std::int64_t kOverUsedLocation = 2;
constexpr std::int64_t kFullLocation = 3;

// Keeps `AInmates` bookings held at location `ALockey`, releases the others
// kept there, and spreads the kept bookings' items over every container of
// the location, all of them still held.
void FillEveryContainer(jailgen::Sample& ASample, std::int64_t ALockey, std::size_t AInmates) {
  std::vector<std::int64_t> containers;
  for (const jailgen::Container& container : ASample.containers) {
    if (container.lockey == ALockey) containers.push_back(container.containerid);
  }
  std::set<std::string> kept;
  for (std::size_t i = 0; i < ASample.properties.size(); ++i) {
    jailgen::PropertyRecord& property = ASample.properties[i];
    if (property.lockey != ALockey) continue;
    jailgen::Booking& booking = ASample.bookings[i];
    const bool keep = kept.size() < AInmates;
    booking.name_released = !keep;
    property.released = !keep;
    if (keep) kept.insert(booking.bookno);
  }
  if (kept.size() < AInmates) throw std::logic_error("too few bookings at a location");
  std::size_t next = 0;
  for (jailgen::PropertyItem& item : ASample.items) {
    if (!kept.contains(item.bookno)) continue;
    item.released = false;
    item.containerid = containers[next++ % containers.size()];
  }
}

// Statements that give each row of `ATable` its flag in `AFlags`.
std::string StoreFlagsSql(const std::string& ATable, const std::string& AKey, const Flags& AFlags) {
  std::string sql;
  for (const char* value : {"0", "1"}) {
    std::string keys;
    for (const auto& [key, flag] : AFlags) {
      if (flag == value) keys += (keys.empty() ? "" : ",") + key;
    }
    if (keys.empty()) continue;
    sql += "UPDATE " + ATable + " SET AVAILABLE = " + value + " WHERE " + AKey + " IN (" + keys +
           ")\n";
  }
  return sql;
}

Flags ReadFlags(standin_test::OdbcTestConnection& AJail, const std::string& ASql) {
  Flags flags;
  for (const standin_test::Row& row : AJail.Query(ASql).rows) flags[*row[0]] = row[1].value_or("-");
  return flags;
}

}  // namespace

void PrintTo(const JailFlags& AFlags, std::ostream* AOut) {
  *AOut << "locations";
  for (const auto& [key, flag] : AFlags.locations) *AOut << " " << key << ":" << flag;
  *AOut << " containers";
  for (const auto& [key, flag] : AFlags.containers) *AOut << " " << key << ":" << flag;
}

jailgen::Sample FaultJailSample() {
  jailgen::Sample sample = jailgen::MakeSample(
      {.locations = 20, .containers = 2, .bookings = 200, .released = 0.3, .items = 2, .seed = 12});
  // The generator leaves the last container of each location empty; these
  // two fill them: more held inmates than containers at one, as many at the
  // other.
  FillEveryContainer(sample, kOverUsedLocation, 3);
  FillEveryContainer(sample, kFullLocation, 2);
  return sample;
}

JailFlags SettledFlags(const jailgen::Sample& ASample) {
  std::set<std::string> held;
  for (const jailgen::Booking& booking : ASample.bookings) {
    if (booking.name_released == false) held.insert(booking.bookno);
  }
  std::set<std::int64_t> withHeldProperty;
  for (const jailgen::PropertyRecord& property : ASample.properties) {
    if (held.contains(property.bookno)) withHeldProperty.insert(property.lockey);
  }
  std::set<std::pair<std::int64_t, std::int64_t>> used;  // (LOCKEY, CONTAINERID)
  for (const jailgen::PropertyItem& item : ASample.items) {
    if (item.containerid && item.released == false && held.contains(item.bookno)) {
      used.insert({item.lockey, *item.containerid});
    }
  }
  JailFlags flags;
  std::map<std::int64_t, std::pair<int, int>> usage;  // LOCKEY -> (containers, in use)
  for (const jailgen::Container& container : ASample.containers) {
    bool available = true;
    if (withHeldProperty.contains(container.lockey)) {
      available = !used.contains({container.lockey, container.containerid});
      usage[container.lockey].first += 1;
      usage[container.lockey].second += available ? 0 : 1;
    }
    flags.containers[std::to_string(container.containerid)] = available ? "1" : "0";
  }
  for (const jailgen::Location& location : ASample.locations) {
    const auto [containers, inUse] = usage[location.lockey];
    const bool available = !withHeldProperty.contains(location.lockey) || inUse < containers;
    flags.locations[std::to_string(location.lockey)] = available ? "1" : "0";
  }
  return flags;
}

FaultJail::FaultJail() : sample_(FaultJailSample()) {
  {
    standin_test::OdbcTestConnection setup(server_.port());
    standin_test::LoadScript(setup, jailgen::MakeScript(sample_, {}));
  }
  standin_test::RegisterJail(server_.port());
  generated_ = StoredFlags();
}

JailFlags FaultJail::StoredFlags() {
  standin_test::OdbcTestConnection jail(server_.port(), {"sa", "", "JAIL"});
  return {ReadFlags(jail, "SELECT LOCKEY, AVAILABLE FROM CFGPROPL"),
          ReadFlags(jail, "SELECT CONTAINERID, AVAILABLE FROM CFGPROPC")};
}

void FaultJail::RestoreGeneratedFlags() {
  standin_test::OdbcTestConnection jail(server_.port(), {"sa", "", "JAIL"});
  jail.Exec(StoreFlagsSql("CFGPROPL", "LOCKEY", generated_.locations) +
            StoreFlagsSql("CFGPROPC", "CONTAINERID", generated_.containers));
}

}  // namespace faults_test

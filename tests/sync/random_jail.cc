#include "random_jail.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>

namespace sync_test {
namespace {

constexpr std::int64_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMax32 = std::numeric_limits<std::int32_t>::max();
// A location key no location has.
constexpr std::int64_t kNowhere = 987654;

using Row = std::vector<std::string>;

class Draw {
 public:
  explicit Draw(std::uint64_t ASeed) : FEngine(ASeed) {}
  bool Chance(double AProbability) { return std::bernoulli_distribution(AProbability)(FEngine); }
  int Upto(int AMax) { return std::uniform_int_distribution<int>(0, AMax)(FEngine); }
  template <class T>
  const T& Among(const std::vector<T>& AValues) {
    return AValues[static_cast<std::size_t>(Upto(static_cast<int>(AValues.size()) - 1))];
  }
  // "0", "1" or "NULL", NULL with `ANull`, 1 with `AOne` of the rest.
  std::string Bit(double ANull, double AOne) {
    if (Chance(ANull)) return "NULL";
    return Chance(AOne) ? "1" : "0";
  }
  std::mt19937_64& Engine() { return FEngine; }

 private:
  std::mt19937_64 FEngine;
};

std::string Text(const std::string& AValue) {
  std::string quoted = "'";
  for (char c : AValue) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

std::string TextOrNull(Draw& ADraw, double ANull, const std::vector<std::string>& AValues) {
  return ADraw.Chance(ANull) ? "NULL" : Text(ADraw.Among(AValues));
}

void AddInserts(std::vector<std::string>& AOut, const std::string& AHead,
                const std::vector<Row>& ARows) {
  for (std::size_t first = 0; first < ARows.size(); first += 1000) {
    std::string sql = AHead + " VALUES ";
    for (std::size_t i = first; i < std::min(ARows.size(), first + 1000); ++i) {
      sql += i == first ? "(" : ", (";
      for (std::size_t c = 0; c < ARows[i].size(); ++c) sql += (c ? ", " : "") + ARows[i][c];
      sql += ")";
    }
    AOut.push_back(sql);
  }
}

std::vector<std::int64_t> LocationKeys(Draw& ADraw, const RandomJailOptions& AOptions) {
  std::vector<std::int64_t> keys;
  for (int i = 0; i < AOptions.locations; ++i) keys.push_back(10 + 7 * i);
  if (keys.empty()) return keys;
  if (AOptions.keys == JailKeys::kAtLimits) {
    const std::vector<std::int64_t> limits = {kMin32, kMin32 + 1, -1, 0, kMax32 - 1, kMax32};
    for (std::size_t i = 0; i < limits.size() && i < keys.size(); ++i) {
      keys[static_cast<std::size_t>(ADraw.Upto(static_cast<int>(keys.size()) - 1))] = limits[i];
    }
  } else if (AOptions.keys == JailKeys::kLocationBeyond) {
    const std::vector<std::int64_t> beyond = {kMax32 + 1, kMin32 - 1, std::int64_t{1} << 40};
    keys[static_cast<std::size_t>(ADraw.Upto(static_cast<int>(keys.size()) - 1))] =
        ADraw.Among(beyond);
  }
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  return keys;
}

bool Fits32(std::int64_t AKey) {
  return AKey >= kMin32 && AKey <= kMax32;
}

}  // namespace

std::vector<std::string> RandomJailInserts(const RandomJailOptions& AOptions) {
  Draw draw(AOptions.seed);
  const std::vector<std::string> names = {"Smith", "O'Brien", "Zoë", "Nguyen", "Lee", "", "Ray"};
  const std::vector<std::int64_t> locationKeys = LocationKeys(draw, AOptions);
  std::vector<std::int64_t> usable;  // keys CFGPROPC, WRIPROP and WRPITEMS (int) can hold
  for (std::int64_t key : locationKeys) {
    if (Fits32(key)) usable.push_back(key);
  }

  std::vector<Row> locations;
  for (std::int64_t key : locationKeys) {
    locations.push_back({TextOrNull(draw, 0.1, {"A", "B1", "CC"}),
                         TextOrNull(draw, 0.1, {"Cell Block", "Intake", "Vault 2"}), "5", "0",
                         draw.Bit(0.2, 0.5), std::to_string(key)});
  }

  // Containers: 0 to 3 a location, a few of no location; keys spread over
  // the 32-bit range when asked.
  struct Container {
    std::optional<std::int64_t> lockey;
    std::int64_t key;
  };
  std::vector<Container> containers;
  std::int64_t nextKey = 100;
  for (std::int64_t lockey : usable) {
    for (int n = draw.Upto(3); n > 0; --n) containers.push_back({lockey, nextKey += 3});
  }
  for (int n = draw.Upto(2); n > 0; --n) {
    containers.push_back({draw.Chance(0.5) ? std::nullopt : std::optional{kNowhere}, nextKey += 3});
  }
  if (AOptions.keys == JailKeys::kAtLimits) {
    for (std::int64_t key : {kMin32, kMax32, kMax32 - 2}) {
      if (!usable.empty()) containers.push_back({draw.Among(usable), key});
    }
  }
  std::optional<std::int64_t> beyondAt;  // the location of the container past 32 bits
  if ((AOptions.keys == JailKeys::kContainerBeyondHeld ||
       AOptions.keys == JailKeys::kContainerBeyondFree) &&
      !usable.empty()) {
    beyondAt = draw.Among(usable);
    containers.push_back({beyondAt, (std::int64_t{1} << 32) + 5});
  }
  std::vector<Row> containerRows;
  for (const Container& container : containers) {
    containerRows.push_back({container.lockey ? std::to_string(*container.lockey) : "NULL",
                             Text("X"), TextOrNull(draw, 0.1, {"Bin", "Locker 4", "Shelf"}),
                             draw.Bit(0.2, 0.5), std::to_string(container.key)});
  }

  // Bookings, their property headers and items.
  const int bookingCount = std::max(4, 3 * AOptions.locations);
  std::vector<Row> bookings, headers, items;
  for (int b = 0; b < bookingCount; ++b) {
    char number[16];
    std::snprintf(number, sizeof number, "BK%05d", b);
    const std::string released = draw.Bit(0.15, 0.3);
    bookings.push_back({Text(number), Text(std::string("K") + number),
                        TextOrNull(draw, 0.05, names), TextOrNull(draw, 0.05, names),
                        TextOrNull(draw, 0.3, names), released});
    // The booking number as another row may write it.
    auto bookNo = [&] {
      if (draw.Chance(0.05)) return std::string("NULL");
      std::string written = number;
      if (draw.Chance(0.1))
        std::transform(written.begin(), written.end(), written.begin(), ::tolower);
      if (draw.Chance(0.1)) written += "  ";
      return Text(written);
    };
    std::vector<std::int64_t> kept;
    for (int h = draw.Upto(2); h > 0 && !usable.empty(); --h) {
      std::int64_t lockey = draw.Chance(0.1) ? kNowhere : draw.Among(usable);
      if (AOptions.keys == JailKeys::kContainerBeyondFree && beyondAt && lockey == *beyondAt) {
        continue;
      }
      kept.push_back(lockey);
      headers.push_back({Text("P" + std::to_string(headers.size())), bookNo(),
                         draw.Chance(0.05) ? "NULL" : std::to_string(lockey)});
    }
    for (int i = draw.Upto(4); i > 0 && !usable.empty(); --i) {
      const std::int64_t lockey =
          !kept.empty() && draw.Chance(0.7) ? draw.Among(kept) : draw.Among(usable);
      std::string containerId = "NULL";
      if (!containers.empty() && !draw.Chance(0.1)) {
        std::vector<std::int64_t> own;
        for (const Container& container : containers) {
          if (container.lockey == lockey && Fits32(container.key)) own.push_back(container.key);
        }
        if (!own.empty() && draw.Chance(0.8)) {
          containerId = std::to_string(draw.Among(own));
        } else {
          const Container& other = draw.Among(containers);  // another location's, or none's
          containerId = Fits32(other.key) ? std::to_string(other.key) : "77";
        }
      }
      items.push_back({Text("I" + std::to_string(items.size())), bookNo(),
                       draw.Chance(0.05) ? "NULL" : std::to_string(lockey), containerId,
                       draw.Bit(0.15, 0.3)});
    }
  }
  if (AOptions.keys == JailKeys::kContainerBeyondHeld && beyondAt) {
    bookings.push_back({Text("HELD"), Text("KHELD"), Text("Held"), Text("Al"), "NULL", "0"});
    headers.push_back({Text("PHELD"), Text("HELD"), std::to_string(*beyondAt)});
  }

  std::shuffle(bookings.begin(), bookings.end(), draw.Engine());
  std::shuffle(items.begin(), items.end(), draw.Engine());
  std::vector<std::string> inserts;
  AddInserts(inserts,
             "INSERT INTO CFGPROPL (LOCATIONCODE, LOCATION, ALLOW, ONLOC, AVAILABLE, LOCKEY)",
             locations);
  AddInserts(inserts,
             "INSERT INTO CFGPROPC (LOCKEY, LOCATIONCODE, CONTAINER, AVAILABLE, CONTAINERID)",
             containerRows);
  AddInserts(inserts, "INSERT INTO WARDERLY (BOOKNO, KORAID, LNAME, FNAME, MNAME, NAMERELEAS)",
             bookings);
  AddInserts(inserts, "INSERT INTO WRIPROP (PROPERTYNO, BOOKNO, LOCKEY)", headers);
  AddInserts(inserts, "INSERT INTO WRPITEMS (PROPITEMNO, BOOKNO, LOCKEY, CONTAINERID, [RELEASE])",
             items);
  return inserts;
}

}  // namespace sync_test

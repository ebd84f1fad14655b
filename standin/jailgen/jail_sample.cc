#include "jail_sample.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string_view>

namespace jailgen {
namespace {

// Our own draws over mt19937_64: the standard distributions differ between
// library implementations, and a seed must give the same jail everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
  bool Chance(double p) { return static_cast<double>(engine_() >> 11) * 0x1.0p-53 < p; }
  template <typename T, std::size_t N>
  const T& Pick(const std::array<T, N>& values) {
    return values[Below(static_cast<int>(N))];
  }

 private:
  std::mt19937_64 engine_;
};

constexpr std::array<std::string_view, 10> kLocationNames = {
    "Property Room", "Intake Shelf",      "Vault",        "Annex Storage",
    "Laundry Cage",  "Evidence Bay",      "Release Desk", "North Wing Lockers",
    "Bulk Storage",  "South Wing Lockers"};
constexpr std::array<std::string_view, 5> kContainerKinds = {"Bin", "Shelf", "Locker", "Bag Rack",
                                                             "Box"};
constexpr std::array<std::string_view, 16> kLastNames = {
    "Smith", "Johnson", "García", "Nguyen", "O'Brien", "Müller",   "Brown",      "Martínez",
    "Davis", "Wilson",  "Lopez",  "Åberg",  "Taylor",  "Anderson", "Fitzgerald", "Nuñez"};
constexpr std::array<std::string_view, 16> kFirstNames = {
    "John",  "Maria", "James",  "Renée",  "Michael", "Linda", "Robert",  "Chloé",
    "David", "Susan", "Carlos", "Ingrid", "Kevin",   "Ana",   "William", "Dwayne"};
constexpr std::array<std::string_view, 8> kMiddleNames = {"Lee", "Ann", "J",     "Marie",
                                                          "Ray", "Q",   "Louis", "Élise"};
constexpr std::array<std::string_view, 6> kOfficers = {"Sgt. R. Holloway", "Dep. K. Park",
                                                       "Dep. M. Ortiz",    "Cpl. D. Reyes",
                                                       "Dep. S. O'Neill",  "Lt. A. Brandt"};
constexpr std::array<std::string_view, 10> kItems = {"Wallet, black leather",
                                                     "Keys (3) on ring",
                                                     "Cell phone",
                                                     "Belt",
                                                     "Jacket, denim",
                                                     "Wristwatch",
                                                     "Shoes, pair",
                                                     "Necklace, \"gold\" chain",
                                                     "Backpack",
                                                     "Reading glasses"};
constexpr std::array<std::string_view, 4> kComments = {
    "Bag sealed in front of inmate", "Screen cracked on intake", "Inmate's signature on file",
    "Smells of smoke; double bagged"};

std::string Digits(long long value, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*lld", width, value);
  return buffer;
}

// "YYYY-MM-DD HH:MM:SS" for `days` after 1970-01-01 and `seconds` into that day.
std::string DateTime(int days, int seconds) {
  const std::chrono::year_month_day ymd{std::chrono::sys_days{std::chrono::days{days}}};
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02d:%02d:%02d",
                static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                static_cast<unsigned>(ymd.day()), seconds / 3600, seconds / 60 % 60, seconds % 60);
  return buffer;
}

// Old records keep a time of day as a datetime on the zero date of the
// desktop world, 1899-12-30.
std::string TimeOfDay(int seconds) {
  return DateTime(-25569, seconds);
}

constexpr int kSampleEpochDay = 20454;  // 2026-01-01
constexpr double kDrift = 0.4;          // share of stored flags and counts that are wrong

std::string Initials(std::string_view name) {
  std::string result;
  bool start = true;
  for (char c : name) {
    if (start && c >= 'A' && c <= 'Z') result += c;
    start = c == ' ';
  }
  if (result.size() < 2 && name.size() >= 2) {
    result = {name[0], static_cast<char>(name[1] & ~0x20)};  // "Vault" -> "VA"
  }
  return result.substr(0, 2);
}

void CheckOptions(const SampleOptions& options) {
  if (options.locations < 0 || options.containers < 0 || options.bookings < 0 ||
      options.items < 0) {
    throw std::invalid_argument("counts must not be negative");
  }
  if (options.locations > 999) {
    throw std::invalid_argument("at most 999 locations: their codes have three digits");
  }
  if (!(options.released >= 0.0 && options.released <= 1.0)) {
    throw std::invalid_argument("the released share must be between 0 and 1");
  }
}

// 0 .. n-1 in an order drawn from `random`, reversed should the draw leave it sorted.
std::vector<std::size_t> Shuffled(std::size_t n, Random& random) {
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  for (std::size_t i = n; i > 1; --i)
    std::swap(order[i - 1], order[random.Below(static_cast<int>(i))]);
  if (std::is_sorted(order.begin(), order.end())) std::reverse(order.begin(), order.end());
  return order;
}

class SampleBuilder {
 public:
  explicit SampleBuilder(const SampleOptions& options) : options_(options), random_(options.seed) {}

  Sample Build() {
    AddLocations();
    AddBookings();
    DriftStoredFlags();
    // A stream of its own, so that the data stays what the seed always gave.
    Random order(options_.seed ^ 0x5DEECE66Dull);
    sample_.location_order = Shuffled(sample_.locations.size(), order);
    sample_.container_order = Shuffled(sample_.containers.size(), order);
    sample_.booking_order = Shuffled(sample_.bookings.size(), order);
    return std::move(sample_);
  }

 private:
  int LocationWithoutContainers() const {
    return options_.locations >= 2 ? options_.locations - 1 : -1;
  }
  int LocationAllReleased() const { return options_.locations >= 3 ? options_.locations - 2 : -1; }

  void AddLocations() {
    for (int i = 0; i < options_.locations; ++i) {
      Location location;
      location.lockey = i + 1;
      std::string name(kLocationNames[i % kLocationNames.size()]);
      if (i >= static_cast<int>(kLocationNames.size())) {
        name += " " + std::to_string(i / kLocationNames.size() + 1);
      }
      location.code = Initials(name) + Digits(i + 1, 3);
      location.name = name;
      location.allow = 10 + 5 * random_.Below(9);
      sample_.locations.push_back(location);
      if (i == LocationWithoutContainers()) continue;
      for (int c = 0; c < options_.containers; ++c) {
        Container container;
        container.containerid = static_cast<std::int64_t>(sample_.containers.size()) + 1;
        container.lockey = location.lockey;
        container.location_code = location.code;
        container.name =
            std::string(kContainerKinds[c % kContainerKinds.size()]) + " " + std::to_string(c + 1);
        sample_.containers.push_back(container);
      }
    }
  }

  // Containers items may go to: all of the location's but its last, which
  // stays empty; none at a location without containers.
  std::vector<std::int64_t> UsableContainers(std::int64_t lockey) const {
    std::vector<std::int64_t> ids;
    for (const Container& container : sample_.containers) {
      if (container.lockey == lockey) ids.push_back(container.containerid);
    }
    if (ids.size() >= 2) ids.pop_back();
    return ids;
  }

  void AddBookings() {
    for (int i = 0; i < options_.bookings; ++i) {
      // The first bookings visit every location so each one is populated.
      const int location_index = options_.locations == 0  ? -1
                                 : i < options_.locations ? i
                                                          : random_.Below(options_.locations);
      Booking booking = MakeBooking(i, location_index == LocationAllReleased());
      if (location_index >= 0) {
        const Location& location = sample_.locations[location_index];
        PropertyRecord property = MakeProperty(booking, location);
        AddItems(booking, property, UsableContainers(location.lockey));
        sample_.properties.push_back(std::move(property));
      }
      sample_.bookings.push_back(std::move(booking));
    }
  }

  Booking MakeBooking(int index, bool force_released) {
    Booking booking;
    const int book_day = kSampleEpochDay - 400 + random_.Below(400);
    booking.bookno = "2026" + Digits(index + 1, 6);
    booking.koraid = "K" + Digits(1000000 + index * 7 + random_.Below(7), 7);
    booking.lname = std::string(random_.Pick(kLastNames));
    booking.fname = std::string(random_.Pick(kFirstNames));
    if (random_.Chance(0.15)) {
      booking.mname = std::nullopt;
    } else if (random_.Chance(0.1)) {
      booking.mname = "";
    } else {
      booking.mname = std::string(random_.Pick(kMiddleNames));
    }
    if (index == 0) booking.fname = "Zoë";
    if (index == 1) {
      booking.fname = "José";
      booking.mname = "";
    }
    if (force_released || random_.Chance(options_.released)) {
      booking.name_released = true;
    } else if (random_.Chance(0.2)) {
      booking.name_released = std::nullopt;
    } else {
      booking.name_released = false;
    }
    booking.sex = random_.Chance(0.8) ? 'M' : 'F';
    booking.dob = DateTime(-3650 + random_.Below(365 * 45), 0);  // born 1960..2005
    booking.book_date = DateTime(book_day, random_.Below(86400));
    if (booking.Released()) booking.release_date = DateTime(book_day + 1 + random_.Below(60), 0);
    return booking;
  }

  PropertyRecord MakeProperty(const Booking& booking, const Location& location) {
    PropertyRecord property;
    property.propertyno = "P" + booking.bookno;
    property.bookno = booking.bookno;
    property.koraid = booking.koraid;
    property.groupid = 1 + random_.Below(3);
    if (random_.Chance(0.5)) property.comments = std::string(random_.Pick(kComments));
    property.rec_date = booking.book_date.substr(0, 10) + " 00:00:00";
    property.rec_time = TimeOfDay(random_.Below(86400));
    property.rec_officer_no = "O" + Digits(100 + random_.Below(900), 4);
    property.rec_officer_name = std::string(random_.Pick(kOfficers));
    if (booking.Released()) {
      property.ret_date = booking.release_date;
      property.ret_time = TimeOfDay(random_.Below(86400));
      property.ret_officer_no = "O" + Digits(100 + random_.Below(900), 4);
      property.ret_officer_name = std::string(random_.Pick(kOfficers));
      property.released = true;
      property.released_to_name = booking.fname + " " + booking.lname;
      property.released_to_mni = booking.koraid;
    }
    property.location = location.name;
    property.location_code = location.code;
    property.lockey = location.lockey;
    return property;
  }

  void AddItems(const Booking& booking, const PropertyRecord& property,
                const std::vector<std::int64_t>& containers) {
    const int count = booking.Released() ? 1 : options_.items;
    for (int n = 0; n < count; ++n) {
      PropertyItem item;
      item.propitemno = property.propertyno + "-" + std::to_string(n + 1);
      item.propertyno = property.propertyno;
      item.bookno = booking.bookno;
      item.koraid = booking.koraid;
      item.groupid = property.groupid;
      item.location = property.location;
      item.lockey = property.lockey;
      if (!containers.empty()) {
        item.containerid = containers[random_.Below(static_cast<int>(containers.size()))];
      }
      const int kind = random_.Below(12);
      if (kind == 0) {
        item.description = "Cash";
        item.cash = true;
        item.cash_amount = std::to_string(random_.Below(500)) + "." + Digits(random_.Below(100), 2);
      } else if (kind == 1) {
        item.description = "Check";
        item.check = true;
        item.check_number = Digits(1000 + random_.Below(9000), 6);
      } else if (kind == 2) {
        item.description = "Money order";
        item.money_order = true;
        item.money_order_number = "MO" + Digits(random_.Below(100000000), 9);
      } else {
        item.description = std::string(random_.Pick(kItems));
        item.qty = 1 + (random_.Chance(0.2) ? random_.Below(4) : 0);
      }
      if (random_.Chance(0.2)) item.comments = std::string(random_.Pick(kComments));
      if (booking.Released() || random_.Chance(0.1)) {
        item.released = true;
        item.released_name = booking.fname + " " + booking.lname;
        item.released_to_mni = booking.koraid;
      } else if (random_.Chance(0.2)) {
        item.released = std::nullopt;
      } else {
        item.released = false;
      }
      sample_.items.push_back(std::move(item));
    }
  }

  // The stored flags and counts are what a neglected database holds: the
  // synchronising program is there to correct them.
  void DriftStoredFlags() {
    for (Location& location : sample_.locations) {
      int held = 0;
      for (const PropertyRecord& property : sample_.properties) {
        if (property.lockey == location.lockey && !property.released) ++held;
      }
      const bool drift = location.lockey == 1 || random_.Chance(kDrift);
      location.onloc = drift ? held + 1 + random_.Below(5) : held;
      location.available = (held < location.allow) != drift;
    }
    for (Container& container : sample_.containers) {
      bool holds = false;
      for (const PropertyItem& item : sample_.items) {
        holds = holds || (item.containerid == container.containerid && item.Held());
      }
      const bool drift = container.containerid == 1 || random_.Chance(kDrift);
      container.available = !holds != drift;
    }
  }

  const SampleOptions& options_;
  Random random_;
  Sample sample_;
};

}  // namespace

Sample MakeSample(const SampleOptions& options) {
  CheckOptions(options);
  return SampleBuilder(options).Build();
}

}  // namespace jailgen

// A deterministic sample jail: locations, containers, bookings, their property
// records and items, with the irregularities real data has.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace jailgen {

struct SampleOptions {
  int locations = 8;
  int containers = 5;  // per location (but see Sample)
  int bookings = 200;
  double released = 0.3;  // share of bookings released (NAMERELEAS = 1), 0..1
  int items = 4;          // items per held booking
  std::uint64_t seed = 1;
};

// Keys are the IDENTITY values 1, 2, 3, ... in vector order; a script inserts
// them explicitly (IDENTITY_INSERT), in the sample's shuffled insert order.
struct Location {
  std::int64_t lockey = 0;
  std::string code;
  std::string name;
  int allow = 0;
  // As stored, drifted from the bookings: in the first location and about
  // 40% of the others ONLOC overstates the held bookings and AVAILABLE is the
  // opposite of "fewer held bookings than ALLOW".
  int onloc = 0;
  bool available = false;
};

struct Container {
  std::int64_t containerid = 0;
  std::int64_t lockey = 0;
  std::string location_code;
  std::string name;
  // As stored: in the first container and about 40% of the others the
  // opposite of "holds no item that is still held".
  bool available = false;
};

struct Booking {
  std::string bookno;
  std::string koraid;
  std::string lname;
  std::string fname;
  std::optional<std::string> mname;
  std::optional<bool> name_released;  // null means not released
  char sex = 'M';
  std::string dob;        // "YYYY-MM-DD 00:00:00"
  std::string book_date;  // "YYYY-MM-DD HH:MM:SS"
  std::optional<std::string> release_date;

  bool Released() const { return name_released.value_or(false); }
};

// One WRIPROP row: the property taken from one booking, kept at one location.
struct PropertyRecord {
  std::string propertyno;
  std::string bookno;
  std::string koraid;
  int groupid = 1;
  std::optional<std::string> comments;
  std::string rec_date;  // "YYYY-MM-DD 00:00:00"
  std::string rec_time;  // "1899-12-30 HH:MM:SS"
  std::string rec_officer_no;
  std::string rec_officer_name;
  std::optional<std::string> ret_date, ret_time, ret_officer_no, ret_officer_name;
  bool released = false;
  std::optional<std::string> released_to_name, released_to_mni;
  std::string location;
  std::string location_code;
  std::int64_t lockey = 0;
};

// One WRPITEMS row.
struct PropertyItem {
  std::string propitemno;
  std::string propertyno;
  std::string bookno;
  std::string koraid;
  int groupid = 1;
  int qty = 1;
  std::string description;
  std::string location;
  std::optional<std::string> comments;
  bool cash = false;
  std::optional<std::string> cash_amount;  // money, e.g. "37.25"
  bool check = false;
  bool money_order = false;
  std::optional<std::string> check_number, money_order_number;
  std::optional<bool> released;  // null means not released
  std::optional<std::string> released_name, released_to_mni;
  std::optional<std::int64_t> containerid;  // null at a location without containers
  std::int64_t lockey = 0;

  bool Held() const { return !released.value_or(false); }
};

// Invariants, when there are enough locations and containers for them:
// the last location has no containers; every booking kept at the one before
// it is released; the last container of each location holds no item; bookings
// 0 and 1 are 'Zoë' and 'José', José with an empty middle name.
struct Sample {
  std::vector<Location> locations;
  std::vector<Container> containers;
  std::vector<Booking> bookings;
  std::vector<PropertyRecord> properties;  // one per booking, same order
  std::vector<PropertyItem> items;
  // The order a script inserts locations, containers and bookings in, as
  // positions in the vectors above: shuffled from the seed (never key order
  // when there are two or more), since a site's rows seldom arrive in key order.
  std::vector<std::size_t> location_order, container_order, booking_order;
};

// The sample for `options`; the same options always give the same sample.
// Throws std::invalid_argument for negative counts or a share outside 0..1.
Sample MakeSample(const SampleOptions& options);

}  // namespace jailgen

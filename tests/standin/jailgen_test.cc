// The sample jail generator: deterministic, within SQL Server's limits, and
// with the irregularities the program has to cope with.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "child_process.h"
#include "jail_sample.h"
#include "jail_schema.h"
#include "jail_script.h"
#include "script_loader.h"
#include "temp_dir.h"

namespace jailgen {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

TEST(JailSampleTest, SameSeedSameScriptOtherSeedOtherScript) {
  const SampleOptions options{.bookings = 120, .seed = 42};
  const std::string script = MakeScript(MakeSample(options), {});
  EXPECT_EQ(script, MakeScript(MakeSample(options), {}));
  EXPECT_NE(script, MakeScript(MakeSample({.bookings = 120, .seed = 43}), {}));
}

TEST(JailSampleTest, HasTheIrregularitiesRealDataHas) {
  const Sample sample = MakeSample({.locations = 5, .containers = 3, .bookings = 400});
  const Location& bare = sample.locations[4];
  const Location& emptied = sample.locations[3];
  EXPECT_TRUE(std::none_of(sample.containers.begin(), sample.containers.end(),
                           [&](const Container& c) { return c.lockey == bare.lockey; }));
  int at_emptied = 0;
  for (const PropertyRecord& property : sample.properties) {
    if (property.lockey != emptied.lockey) continue;
    ++at_emptied;
    EXPECT_TRUE(property.released) << property.bookno;
  }
  EXPECT_GT(at_emptied, 0);

  EXPECT_EQ(sample.bookings[0].fname, "Zoë");
  EXPECT_EQ(sample.bookings[1].fname, "José");
  EXPECT_EQ(sample.bookings[1].mname, "");
  auto bookings_where = [&](auto predicate) {
    return std::count_if(sample.bookings.begin(), sample.bookings.end(), predicate);
  };
  EXPECT_GT(bookings_where([](const Booking& b) { return !b.name_released; }), 0);
  EXPECT_GT(bookings_where([](const Booking& b) { return !b.mname; }), 0);

  auto items_where = [&](auto predicate) {
    return std::count_if(sample.items.begin(), sample.items.end(), predicate);
  };
  EXPECT_GT(items_where([](const PropertyItem& i) { return !i.released; }), 0);
  EXPECT_GT(
      items_where([](const PropertyItem& i) { return i.released == true && i.Held() == false; }),
      0);
  EXPECT_GT(items_where([](const PropertyItem& i) { return i.cash && i.cash_amount; }), 0);

  std::set<std::int64_t> used;
  for (const PropertyItem& item : sample.items) {
    if (item.containerid) used.insert(*item.containerid);
  }
  EXPECT_LT(used.size(), sample.containers.size()) << "no container is empty";
}

TEST(JailSampleTest, StoredFlagsHaveDriftedFromTheContents) {
  const Sample sample = MakeSample({.bookings = 400});
  int wrong_locations = 0;
  for (const Location& location : sample.locations) {
    int held = 0;
    for (const PropertyRecord& property : sample.properties) {
      held += property.lockey == location.lockey && !property.released;
    }
    wrong_locations += location.onloc != held;
    EXPECT_EQ(location.onloc != held, location.available != (held < location.allow));
  }
  int wrong_containers = 0;
  for (const Container& container : sample.containers) {
    const bool holds = std::any_of(sample.items.begin(), sample.items.end(), [&](const auto& i) {
      return i.containerid == container.containerid && i.Held();
    });
    wrong_containers += container.available == holds;
  }
  EXPECT_GT(wrong_locations, 0);
  EXPECT_LT(wrong_locations, static_cast<int>(sample.locations.size()));
  EXPECT_GT(wrong_containers, 0);
  EXPECT_LT(wrong_containers, static_cast<int>(sample.containers.size()));
}

TEST(JailSampleTest, ReleasedShareFollowsTheOption) {
  for (double share : {0.0, 0.5, 1.0}) {
    const Sample sample = MakeSample({.locations = 20, .bookings = 2000, .released = share});
    const double released =
        static_cast<double>(std::count_if(sample.bookings.begin(), sample.bookings.end(),
                                          [](const Booking& b) { return b.Released(); })) /
        static_cast<double>(sample.bookings.size());
    // One location in twenty has only released bookings, whatever the share.
    EXPECT_NEAR(released, share + (1 - share) * 0.05, 0.05) << share;
  }
}

TEST(JailSampleTest, KeyedRowsGoInOutOfKeyOrder) {
  const Sample sample = MakeSample({});
  for (const auto* order :
       {&sample.location_order, &sample.container_order, &sample.booking_order}) {
    std::vector<std::size_t> sorted = *order;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i) ASSERT_EQ(sorted[i], i);
    EXPECT_FALSE(std::is_sorted(order->begin(), order->end()));
  }
  EXPECT_NE(MakeSample({.seed = 2}).booking_order, sample.booking_order);
  const std::string script = MakeScript(sample, {});
  EXPECT_THAT(script, HasSubstr("SET IDENTITY_INSERT CFGPROPL ON\nGO\nINSERT INTO CFGPROPL ("));
  EXPECT_THAT(script, HasSubstr("SET IDENTITY_INSERT CFGPROPC OFF\nGO\n"));
}

TEST(JailSampleTest, RefusesImpossibleOptions) {
  EXPECT_THROW(MakeSample({.bookings = -1}), std::invalid_argument);
  EXPECT_THROW(MakeSample({.released = 1.5}), std::invalid_argument);
  EXPECT_THROW(MakeSample({.locations = 1000}), std::invalid_argument);
}

TEST(JailScriptTest, InsertsStayWithinSqlServersRowLimit) {
  const std::string script = MakeScript(MakeSample({.bookings = 2500, .items = 2}), {});
  int warderly_inserts = 0;
  for (const std::string& batch : standin_test::SplitBatches(script)) {
    if (!batch.starts_with("INSERT")) continue;
    warderly_inserts += batch.starts_with("INSERT INTO WARDERLY");
    const auto rows = std::count(batch.begin(), batch.end(), '\n') - 1;
    EXPECT_LE(rows, kMaxRowsPerInsert);
  }
  EXPECT_EQ(warderly_inserts, 3);
}

TEST(JailScriptTest, ValuesFitTheirColumns) {
  const Sample sample = MakeSample({.locations = 30, .bookings = 500});
  for (const Booking& b : sample.bookings) {
    for (const std::string& name : {b.lname, b.fname, b.mname.value_or("")}) {
      // varchar(15) counts Latin-1 characters, not UTF-8 bytes.
      const auto chars =
          std::count_if(name.begin(), name.end(), [](char c) { return (c & 0xC0) != 0x80; });
      EXPECT_LE(chars, 15) << name;
    }
  }
  for (const Location& l : sample.locations) {
    EXPECT_LE(l.code.size(), 5u) << l.code;
    EXPECT_LE(l.name.size(), 30u) << l.name;
  }
  for (const PropertyItem& i : sample.items) EXPECT_LE(i.description.size(), 45u);
}

TEST(JailScriptTest, CreatesBothDatabasesUnlessTold) {
  const Sample sample = MakeSample({.bookings = 5});
  const std::string with = MakeScript(sample, {.site_db = "SITE", .jail_db = "J1"});
  EXPECT_THAT(with, StartsWith("CREATE DATABASE SITE\nGO\nCREATE DATABASE J1\nGO\nUSE SITE\n"));
  EXPECT_THAT(with, HasSubstr("Database=J1;"));
  const std::string without = MakeScript(sample, {.create_databases = false});
  EXPECT_THAT(without, StartsWith("USE VANTOR\nGO\n"));
  EXPECT_THAT(without, Not(HasSubstr("CREATE DATABASE")));
}

TEST(JailScriptTest, QuotesStringsAndBracketsReservedNames) {
  const std::string script = MakeScript(MakeSample({}), {});
  EXPECT_THAT(script, HasSubstr("'Dep. S. O''Neill'"));
  EXPECT_THAT(script, HasSubstr("[CHECK] bit"));
  EXPECT_THAT(script, HasSubstr("[RELEASE] bit"));
  EXPECT_THAT(CreateTableSql(Table("CFGPROPL")),
              HasSubstr("LOCKEY bigint IDENTITY(1,1) NOT NULL PRIMARY KEY"));
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(JailgenProgramTest, WritesTheScriptForItsOptions) {
  standin_test::TempDir dir;
  standin_test::ChildProcess program(
      {JAILGEN_PATH, "--bookings", "40", "--seed", "9", "--jail-db", "J9", "--released", "0.5",
       "--out", (dir.path() / "jail.sql").string()},
      {.out = dir.path() / "out.txt", .err = dir.path() / "err.txt"});
  ASSERT_EQ(program.WaitFor(std::chrono::seconds(30)), 0) << ReadFile(dir.path() / "err.txt");
  EXPECT_EQ(
      ReadFile(dir.path() / "jail.sql"),
      MakeScript(MakeSample({.bookings = 40, .released = 0.5, .seed = 9}), {.jail_db = "J9"}));
}

TEST(JailgenProgramTest, RefusesUnknownOptions) {
  standin_test::TempDir dir;
  standin_test::ChildProcess program(
      {JAILGEN_PATH, "--prisoners", "5"},
      {.out = dir.path() / "out.txt", .err = dir.path() / "err.txt"});
  EXPECT_EQ(program.WaitFor(std::chrono::seconds(30)), 2);
  EXPECT_THAT(ReadFile(dir.path() / "err.txt"), HasSubstr("unknown option --prisoners"));
}

}  // namespace
}  // namespace jailgen

// jailgen: prints the T-SQL script of a sample site and jail database.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

#include "jail_sample.h"
#include "jail_script.h"

namespace {

constexpr std::string_view kUsage =
    "usage: jailgen [--site-db NAME] [--jail-db NAME] [--locations N] [--containers N]\n"
    "               [--bookings N] [--released F] [--items N] [--seed S] [--no-create]\n"
    "               [--out FILE] [--help]\n"
    "Prints a T-SQL script (GO between batches) creating and filling the site database\n"
    "(table ConnectLib) and the jail database; the same options give the same script.\n";

struct Arguments {
  jailgen::SampleOptions sample;
  jailgen::ScriptOptions script;
  std::string out;  // empty: stdout
  bool help = false;
};

// The whole of `text` as a number of type T, or std::invalid_argument naming `flag`.
template <typename T>
T ParseNumber(std::string_view flag, const std::string& text) {
  std::size_t used = 0;
  T value{};
  try {
    if constexpr (std::is_same_v<T, double>) {
      value = std::stod(text, &used);
    } else if constexpr (std::is_same_v<T, int>) {
      value = std::stoi(text, &used);
    } else {
      value = std::stoull(text, &used);
    }
  } catch (const std::logic_error&) {
    used = 0;
  }
  if (used == 0 || used != text.size()) {
    throw std::invalid_argument(std::string(flag) + ": not a number: " + text);
  }
  return value;
}

Arguments Parse(int argc, char** argv) {
  Arguments args;
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    if (flag == "--help") {
      args.help = true;
      continue;
    }
    if (flag == "--no-create") {
      args.script.create_databases = false;
      continue;
    }
    if (i + 1 >= argc) throw std::invalid_argument(std::string(flag) + " needs a value");
    const std::string value = argv[++i];
    if (flag == "--site-db") {
      args.script.site_db = value;
    } else if (flag == "--jail-db") {
      args.script.jail_db = value;
    } else if (flag == "--locations") {
      args.sample.locations = ParseNumber<int>(flag, value);
    } else if (flag == "--containers") {
      args.sample.containers = ParseNumber<int>(flag, value);
    } else if (flag == "--bookings") {
      args.sample.bookings = ParseNumber<int>(flag, value);
    } else if (flag == "--items") {
      args.sample.items = ParseNumber<int>(flag, value);
    } else if (flag == "--released") {
      args.sample.released = ParseNumber<double>(flag, value);
    } else if (flag == "--seed") {
      args.sample.seed = ParseNumber<std::uint64_t>(flag, value);
    } else if (flag == "--out") {
      args.out = value;
    } else {
      throw std::invalid_argument("unknown option " + std::string(flag));
    }
  }
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Arguments args = Parse(argc, argv);
    if (args.help) {
      std::cout << kUsage;
      return EXIT_SUCCESS;
    }
    const std::string script = jailgen::MakeScript(jailgen::MakeSample(args.sample), args.script);
    if (args.out.empty()) {
      std::cout << script << std::flush;
    } else {
      std::ofstream out(args.out, std::ios::binary);
      out << script;
      out.close();
      if (!out) throw std::runtime_error("cannot write " + args.out);
    }
    return std::cout ? EXIT_SUCCESS : EXIT_FAILURE;
  } catch (const std::exception& e) {
    std::cerr << "jailgen: " << e.what() << "\n" << kUsage;
    return 2;
  }
}

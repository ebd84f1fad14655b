// Runs a fuzz target once over seed files, for builds without libFuzzer:
// each argument is a file, or a folder whose files are all taken.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize);

namespace {

void Run(const std::filesystem::path& AFile) {
  std::ifstream in(AFile, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        Run(entry.path());
        ++count;
      }
    } else {
      Run(path);
      ++count;
    }
  }
  if (count == 0) {
    std::cerr << "no seed files given\n";
    return 1;
  }
  std::cout << count << " seed inputs run\n";
  return 0;
}

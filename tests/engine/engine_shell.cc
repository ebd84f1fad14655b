// Runs batches against an engine in a data directory and prints the outcome:
//   standin_engine_shell DATA_DIR "batch one" "batch two" ...
#include <iostream>

#include "engine.h"
#include "recording_sink.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: standin_engine_shell DATA_DIR BATCH...\n";
    return 2;
  }
  standin::Engine engine(standin::EngineOptions{argv[1]});
  auto session = engine.Open(standin::LoginRequest{"sa", "", "", "shell", "localhost", ""});
  for (int i = 2; i < argc; ++i) {
    standin::test::RecordingSink sink;
    session->Batch(argv[i], sink);
    std::cout << "> " << argv[i] << "\n" << sink.Text();
  }
}

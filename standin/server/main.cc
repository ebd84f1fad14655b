// sqlserver-standin: a local SQL Server stand-in for tests and demos. See
// options.h for the command line; the first line on stdout is
// "listening on 127.0.0.1:PORT". SIGTERM or SIGINT ends every session and exits 0.
#include <signal.h>
#include <unistd.h>

#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine.h"
#include "fault_control.h"
#include "listener.h"
#include "options.h"
#include "server.h"
#include "tls_context.h"
#include "trace.h"

int main(int argc, char** argv) {
  using namespace standin;
  server::ServerOptions options;
  try {
    options = server::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const server::UsageError& e) {
    std::cerr << e.what() << "\n" << server::UsageText();
    return 2;
  }

  // Every thread inherits this mask: the signals are taken by sigwait below only,
  // and a write to a vanished client fails with EPIPE instead of killing the process.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGINT);
  sigset_t blocked = stop_signals;
  sigaddset(&blocked, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &blocked, nullptr);

  try {
    EngineOptions engine_options;
    engine_options.data_dir = options.data_dir;
    engine_options.logins = options.logins;
    Engine engine(engine_options);
    server::Trace trace(options.trace_file);
    server::Listener listener(options.port);
    // A stop the fault file asks for refuses new clients at once, before the
    // session that asked for it drops; then it goes on as SIGTERM does.
    server::FaultControl faults(options.fault_file, [&listener] {
      listener.Shutdown();
      ::kill(::getpid(), SIGTERM);
    });
    std::unique_ptr<tds::TlsContext> tls_context;
    if (!options.tls_certificate.empty()) {
      tls_context = std::make_unique<tds::TlsContext>(options.tls_certificate, options.tls_key);
    }
    server::Server server(engine, listener, trace, faults,
                          server::TlsOffer{tls_context.get(), options.force_encryption},
                          options.reply_delay, options.highest_version);
    std::cout << "listening on 127.0.0.1:" << listener.Port() << std::endl;

    std::thread acceptor([&server] { server.Run(); });
    int signal = 0;
    sigwait(&stop_signals, &signal);
    server.Stop();
    acceptor.join();
  } catch (const std::exception& e) {
    std::cerr << "sqlserver-standin: " << e.what() << std::endl;
    return 1;
  }
  return 0;
}

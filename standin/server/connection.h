// One client connection: the PRELOGIN/LOGIN7 handshake, then the session's
// requests until the client leaves, breaks the protocol, is killed or the
// server stops. Its Session lives exactly as long as the connection serves.
//
// Threads: Run() is the session thread, which executes requests one at a
// time; while the session is logged in, a reader thread receives the client's
// messages so that an ATTENTION (cancel) reaches the engine while a request runs.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "engine.h"
#include "fault_control.h"
#include "packet.h"
#include "prelogin.h"
#include "server_version.h"
#include "socket.h"
#include "tls_context.h"
#include "trace.h"

namespace standin::server {

// What the server offers its clients: TLS when it has a certificate, and
// whether every session must use it.
struct TlsOffer {
  const tds::TlsContext* context = nullptr;  // null: no certificate
  bool forced = false;

  tds::ServerEncryption Encryption() const {
    if (context == nullptr) return tds::ServerEncryption::kNone;
    return forced ? tds::ServerEncryption::kForced : tds::ServerEncryption::kAvailable;
  }
};

class Connection {
 public:
  // Takes ownership of the connected socket `fd`. Every reply waits
  // `reply_delay` first, as over a slow link. The session speaks the lower of
  // the client's TDS version and `highest_version`, as a server of that
  // version answers a newer client.
  Connection(int fd, Engine& engine, Trace& trace, FaultControl& faults, TlsOffer tls,
             std::chrono::milliseconds reply_delay, tds::TdsVersion highest_version);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Serves the client until the connection ends; never throws.
  void Run();
  // Ends the connection from any thread: Run returns soon after. Must not
  // race with Close.
  void Stop() { socket_.Shutdown(); }
  // Releases the socket once Run has returned.
  void Close() { socket_.Close(); }

 private:
  // A client message as the session thread receives it from the reader.
  struct Incoming {
    enum Kind { kRequest, kAttention, kClosed } kind;
    tds::Message message;
  };

  // PRELOGIN and LOGIN7; true if a session was opened.
  bool Handshake();
  // Settles encryption after the client's PRELOGIN, running the TLS handshake
  // when there is to be any; true if the client may go on to log in.
  bool NegotiateEncryption(const tds::Message& prelogin);
  void RunTlsHandshake();
  void SendLoginResponse(std::uint32_t packet_size);
  void Serve();
  void ReadMessages();
  void Push(Incoming item);
  Incoming Pop();
  void Execute(const tds::Message& message, tds::PacketStream& stream);
  void SendAttentionAcknowledgement(tds::PacketStream& stream);
  // The slow link's share of a round trip. Taken before the work that a reply
  // answers, so that the session holds no engine lock for it.
  void AwaitLink() const;

  tds::Socket socket_;
  Engine& engine_;
  Trace& trace_;
  FaultControl& faults_;
  TlsOffer tls_;
  std::chrono::milliseconds reply_delay_;
  tds::TdsVersion highest_version_;
  tds::SessionEncryption encryption_ = tds::SessionEncryption::kClear;
  tds::TdsVersion version_ = tds::TdsVersion::k74;
  std::uint32_t packet_size_ = tds::kDefaultPacketSize;
  std::unique_ptr<Session> session_;  // declared after socket_: destroyed before it closes

  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Incoming> queue_;
  std::atomic<bool> closed_ = false;
};

}  // namespace standin::server

#include "connection.h"

#include <algorithm>
#include <iostream>
#include <thread>

#include "login7.h"
#include "prelogin.h"
#include "protocol_error.h"
#include "requests.h"
#include "response_writer.h"
#include "tls_channel.h"
#include "tokens.h"

namespace standin::server {
namespace {

using tds::PacketType;

constexpr std::size_t kMaxQueuedMessages = 16;

ServerMessage LoginInfo(std::int32_t number, std::uint8_t state, std::string text) {
  ServerMessage m;
  m.number = number;
  m.state = state;
  m.severity = 0;
  m.text = std::move(text);
  return m;
}

std::uint32_t NegotiatePacketSize(std::uint32_t requested) {
  if (requested == 0) return tds::kDefaultPacketSize;
  return std::clamp(requested, tds::kMinPacketSize, tds::kMaxPacketSize);
}

}  // namespace

Connection::Connection(int fd, Engine& engine, Trace& trace, FaultControl& faults, TlsOffer tls,
                       std::chrono::milliseconds reply_delay, tds::TdsVersion highest_version)
    : socket_(fd),
      engine_(engine),
      trace_(trace),
      faults_(faults),
      tls_(tls),
      reply_delay_(reply_delay),
      highest_version_(highest_version) {}

Connection::~Connection() = default;

void Connection::Run() {
  try {
    if (Handshake()) Serve();
  } catch (const tds::ProtocolError& e) {
    std::cerr << "session ended: protocol error: " << e.what() << std::endl;
  } catch (const tds::ConnectionLost&) {
    // The client went away; nothing to tell anyone.
  } catch (const std::exception& e) {
    std::cerr << "session ended: " << e.what() << std::endl;
  }
  // Ending the session now drops its global temporary tables while other clients watch.
  session_.reset();
  socket_.Shutdown();
}

bool Connection::Handshake() {
  auto message = tds::ReadMessage(socket_);
  if (!message) return false;
  if (message->type == PacketType::kPrelogin) {
    if (!NegotiateEncryption(*message)) return false;
    message = tds::ReadMessage(socket_);
    if (!message) return false;
  } else if (tls_.forced) {
    throw tds::ProtocolError("a client without PRELOGIN cannot encrypt, and encryption is forced");
  }
  if (message->type != PacketType::kLogin7) throw tds::ProtocolError("expected LOGIN7");
  // The rest of a login-only encrypted session is clear, the answer included.
  if (encryption_ == tds::SessionEncryption::kLoginOnly) socket_.StopTls();
  tds::Login7 login = tds::ParseLogin7(message->payload);
  version_ = std::min(tds::NegotiateVersion(login.tds_version), highest_version_);

  LoginRequest request;
  request.user = login.user_name;
  request.password = login.password;
  request.database = login.database;
  request.app_name = login.app_name;
  request.host_name = login.host_name;
  request.language = login.language;
  AwaitLink();
  try {
    session_ = engine_.Open(request);
  } catch (const ServerError& e) {
    tds::ByteWriter out;
    for (const ServerMessage& m : e.messages())
      tds::WriteMessage(out, m, engine_.ServerName(), version_);
    tds::WriteDone(out, tds::DoneKind::kDone, tds::kDoneError, tds::kCommandNone, 0, version_);
    tds::SendReply(socket_, out.Bytes(), packet_size_, 0);
    return false;
  }
  SendLoginResponse(NegotiatePacketSize(login.packet_size));
  session_->SetKillHandler([this] { socket_.Shutdown(); });
  return true;
}

bool Connection::NegotiateEncryption(const tds::Message& prelogin) {
  tds::PreloginRequest request = tds::ParsePrelogin(prelogin.payload);
  tds::EncryptionAgreement agreement = tds::AgreeEncryption(request.encryption, tls_.Encryption());
  AwaitLink();
  tds::SendReply(socket_, tds::PreloginReply(agreement.answer), packet_size_, 0);
  encryption_ = agreement.session;
  switch (encryption_) {
    case tds::SessionEncryption::kRefused:
      // The answer tells the client why; don't wait for it to give up.
      std::cerr << "session refused: "
                << (tls_.context == nullptr
                        ? "the client requires encryption and the server has no certificate"
                        : "encryption is forced and the client cannot encrypt")
                << std::endl;
      return false;
    case tds::SessionEncryption::kClear:
      return true;
    case tds::SessionEncryption::kLoginOnly:
    case tds::SessionEncryption::kFull:
      RunTlsHandshake();
      return true;
  }
  return false;
}

void Connection::RunTlsHandshake() {
  auto channel = std::make_unique<tds::TlsChannel>(*tls_.context);
  while (!channel->Established()) {
    auto message = tds::ReadMessage(socket_);
    if (!message) throw tds::ConnectionLost("client left during the TLS handshake");
    if (message->type != PacketType::kPrelogin) {
      throw tds::TlsError("expected the TLS handshake inside PRELOGIN packets");
    }
    std::vector<std::uint8_t> reply = channel->Handshake(message->payload);
    if (!reply.empty()) {
      AwaitLink();
      tds::SendReply(socket_, reply, packet_size_, 0, PacketType::kPrelogin);
    }
  }
  socket_.StartTls(std::move(channel));
}

void Connection::SendLoginResponse(std::uint32_t packet_size) {
  const std::string& server = engine_.ServerName();
  std::string database = session_->Database();
  std::string language = session_->Language();
  tds::ByteWriter out;
  tds::WriteEnvChange(out, tds::EnvChange::kDatabase, database, "master");
  tds::WriteMessage(out, LoginInfo(5701, 2, "Changed database context to '" + database + "'."),
                    server, version_);
  tds::WriteCollationChange(out);
  tds::WriteEnvChange(out, tds::EnvChange::kLanguage, language, "");
  tds::WriteMessage(out, LoginInfo(5703, 1, "Changed language setting to " + language + "."),
                    server, version_);
  tds::WriteLoginAck(out, version_);
  std::string size = std::to_string(packet_size);
  tds::WriteEnvChange(out, tds::EnvChange::kPacketSize, size, size);
  tds::WriteDone(out, tds::DoneKind::kDone, tds::kDoneFinal, tds::kCommandNone, 0, version_);
  tds::SendReply(socket_, out.Bytes(), packet_size_, static_cast<std::uint16_t>(session_->Spid()));
  packet_size_ = packet_size;
}

void Connection::Serve() {
  std::thread reader([this] { ReadMessages(); });
  tds::PacketStream stream(socket_, packet_size_, static_cast<std::uint16_t>(session_->Spid()));
  try {
    while (true) {
      Incoming item = Pop();
      if (item.kind == Incoming::kClosed || closed_) break;
      if (item.kind == Incoming::kAttention) {
        // Queued behind the request it cancels, so the acknowledgement follows
        // that request's whole response, as a message of its own.
        AwaitLink();
        SendAttentionAcknowledgement(stream);
        continue;
      }
      // Unanswered, as a KILL drops an idle session: the socket is shut as
      // the kill handler shuts it, and the session ends below as a killed
      // one does.
      if (faults_.EndsSession()) break;
      AwaitLink();
      Execute(item.message, stream);
    }
  } catch (...) {
    socket_.Shutdown();
    reader.join();
    throw;
  }
  socket_.Shutdown();
  reader.join();
}

void Connection::ReadMessages() {
  try {
    while (auto message = tds::ReadMessage(socket_)) {
      if (message->type == PacketType::kAttention) {
        session_->Interrupt();
        Push({Incoming::kAttention, {}});
      } else {
        Push({Incoming::kRequest, std::move(*message)});
      }
    }
  } catch (const tds::ProtocolError& e) {
    std::cerr << "session " << session_->Spid() << " ended: protocol error: " << e.what()
              << std::endl;
    socket_.Shutdown();  // drop the client now, even while its last request still runs
  } catch (const std::exception&) {
    // The connection failed or was shut down: the session ends either way.
  }
  closed_ = true;
  session_->Interrupt();
  Push({Incoming::kClosed, {}});
}

void Connection::Push(Incoming item) {
  {
    std::lock_guard lock(mutex_);
    // A client waits for each answer before its next request; one that floods
    // the server with requests would only make it hoard memory.
    if (item.kind == Incoming::kRequest && queue_.size() >= kMaxQueuedMessages) {
      throw tds::ProtocolError("too many requests sent without waiting for answers");
    }
    queue_.push_back(std::move(item));
  }
  ready_.notify_one();
}

Connection::Incoming Connection::Pop() {
  std::unique_lock lock(mutex_);
  ready_.wait(lock, [this] { return !queue_.empty(); });
  Incoming item = std::move(queue_.front());
  queue_.pop_front();
  return item;
}

void Connection::Execute(const tds::Message& message, tds::PacketStream& stream) {
  tds::ResponseWriter writer(stream, version_, engine_.ServerName());
  std::int32_t spid = session_->Spid();
  bool failed = false;
  auto report = [&](const std::exception& e) {
    if (auto* error = dynamic_cast<const ServerError*>(&e)) {
      for (const ServerMessage& m : error->messages()) writer.Message(m);
    } else {
      ServerMessage m;
      m.number = 50000;
      m.severity = 16;
      m.text = std::string("The stand-in failed: ") + e.what();
      writer.Message(m);
    }
  };
  try {
    switch (message.type) {
      case PacketType::kSqlBatch: {
        std::string sql = tds::ParseSqlBatch(message.payload, version_);
        trace_.Batch(spid, sql);
        session_->Batch(sql, writer);
        break;
      }
      case PacketType::kRpc:
        for (tds::RpcCall& call : tds::ParseRpc(message.payload, version_)) {
          trace_.Rpc(spid, call.procedure, call.params);
          std::vector<std::string> names;
          for (const Param& p : call.params) names.push_back(p.name);
          writer.BeginCall(std::move(names));
          bool call_failed = false;
          try {
            session_->Rpc(call.procedure, std::move(call.params), writer);
          } catch (const tds::ProtocolError&) {
            throw;
          } catch (const std::exception& e) {
            report(e);
            call_failed = true;
          }
          writer.EndCall(call_failed);
        }
        break;
      case PacketType::kTransactionManager: {
        std::string sql = tds::ParseTransactionRequest(message.payload, version_);
        trace_.TransactionRequest(spid, sql);
        session_->Batch(sql, writer);
        break;
      }
      default:
        throw tds::ProtocolError("unexpected message type " +
                                 std::to_string(static_cast<int>(message.type)));
    }
  } catch (const tds::ProtocolError&) {
    throw;
  } catch (const std::exception& e) {
    report(e);
    failed = true;
  }
  writer.Finish(failed);
  if (writer.ClientGone()) throw tds::ConnectionLost("client gone while answering");
}

void Connection::SendAttentionAcknowledgement(tds::PacketStream& stream) {
  tds::ByteWriter out;
  tds::WriteDone(out, tds::DoneKind::kDone, tds::kDoneAttention, tds::kCommandNone, 0, version_);
  stream.Append(out.Bytes());
  stream.Finish();
}

void Connection::AwaitLink() const {
  if (reply_delay_.count() > 0) std::this_thread::sleep_for(reply_delay_);
}

}  // namespace standin::server

// The engine's ResultSink on the wire: turns a request's results into the
// token stream SQL Server sends, with the DONE bookkeeping that the engine
// does not see: DONE_MORE on every DONE but the last, DONEINPROC and DONEPROC
// inside procedure calls, and a plain DONE ending a request an ATTENTION cut
// short. The acknowledgement of the ATTENTION is not part of the response: it
// follows as a message of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "packet.h"
#include "result_sink.h"
#include "server_version.h"
#include "tokens.h"

namespace standin::tds {

class ResponseWriter : public ResultSink {
 public:
  // Writes one response message to `stream`. `server_name` goes into messages.
  ResponseWriter(PacketStream& stream, TdsVersion version, std::string server_name);

  // Procedure calls: statements between BeginCall and EndCall end in DONEINPROC,
  // and EndCall ends the call with DONEPROC. `param_names` give output values their ordinals.
  void BeginCall(std::vector<std::string> param_names);
  void EndCall(bool failed);

  // Ends the response: the last DONE goes out without DONE_MORE; if the engine
  // reported none, a DONE is made, flagged as an error when `failed`. A
  // response cut short ends in a DONE of its own.
  void Finish(bool failed);

  // True if the client could not be written to; later output is dropped.
  bool ClientGone() const { return lost_; }

  void Columns(const std::vector<Column>& columns) override;
  void Row(const std::vector<Value>& values) override;
  void Done(const StatementDone& done) override;
  void Message(const ServerMessage& message) override;
  void DatabaseChanged(const std::string& old_name, const std::string& new_name) override;
  void ReturnStatus(std::int32_t status) override;
  void ReturnValue(const Param& param) override;

 private:
  struct HeldDone {
    DoneKind kind;
    std::uint16_t status;
    std::uint16_t command;
    std::uint64_t count;
  };

  // False once nothing more may be written (request cut short, client gone).
  bool Open() const { return !cut_short_ && !lost_; }
  // Sends the held DONE, with DONE_MORE since a token follows it.
  void ReleaseHeld();
  void Hold(const HeldDone& done);
  // Writes one or more tokens with `write`, after the held DONE.
  void Emit(const std::function<void(ByteWriter&)>& write);
  // Sends the scratch buffer's tokens.
  void Send();

  PacketStream& stream_;
  TdsVersion version_;
  std::string server_name_;
  ByteWriter scratch_;
  std::optional<HeldDone> held_;
  std::vector<Column> columns_;
  bool in_call_ = false;
  std::vector<std::string> param_names_;
  bool result_set_open_ = false;  // columns sent since the last DONE
  bool cut_short_ = false;
  bool lost_ = false;
};

}  // namespace standin::tds

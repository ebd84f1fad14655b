#include "response_writer.h"

#include <algorithm>
#include <functional>

namespace standin::tds {
namespace {

constexpr std::int32_t kChangedDatabase = 5701;

}  // namespace

ResponseWriter::ResponseWriter(PacketStream& stream, TdsVersion version, std::string server_name)
    : stream_(stream), version_(version), server_name_(std::move(server_name)) {}

void ResponseWriter::Send() {
  if (lost_) {
    scratch_.Release();
    return;
  }
  try {
    stream_.Append(scratch_.Bytes());
  } catch (const tds::ConnectionLost&) {
    // The session's reader sees the same failure and ends the session; the engine
    // just runs its request out with nowhere to write.
    lost_ = true;
  }
  scratch_.Release();
}

void ResponseWriter::ReleaseHeld() {
  if (!held_) return;
  WriteDone(scratch_, held_->kind, held_->status | kDoneMore, held_->command, held_->count,
            version_);
  held_.reset();
}

void ResponseWriter::Emit(const std::function<void(ByteWriter&)>& write) {
  ByteWriter token;
  write(token);  // may throw on a value that does not fit its column; nothing is half-sent then
  ReleaseHeld();
  scratch_.Append(token.Bytes());
  Send();
}

void ResponseWriter::Hold(const HeldDone& done) {
  ReleaseHeld();
  held_ = done;
  Send();
}

void ResponseWriter::BeginCall(std::vector<std::string> param_names) {
  in_call_ = true;
  param_names_ = std::move(param_names);
}

void ResponseWriter::EndCall(bool failed) {
  in_call_ = false;
  if (!Open()) return;
  Hold({DoneKind::kDoneProc, static_cast<std::uint16_t>(failed ? kDoneError : kDoneFinal),
        kCommandExecute, 0});
}

void ResponseWriter::Finish(bool failed) {
  if (cut_short_) {
    // Whatever statement ran when the ATTENTION came has no DONE of its own.
    ReleaseHeld();
    held_ = HeldDone{DoneKind::kDone, kDoneFinal, kCommandNone, 0};
  } else if (!held_) {
    held_ = HeldDone{DoneKind::kDone, static_cast<std::uint16_t>(failed ? kDoneError : kDoneFinal),
                     kCommandNone, 0};
  } else if (failed && !(held_->status & kDoneError)) {
    ReleaseHeld();
    held_ = HeldDone{DoneKind::kDone, kDoneError, kCommandNone, 0};
  }
  WriteDone(scratch_, held_->kind, held_->status, held_->command, held_->count, version_);
  held_.reset();
  Send();
  if (lost_) return;
  try {
    stream_.Finish();
  } catch (const tds::ConnectionLost&) {
    lost_ = true;
  }
}

void ResponseWriter::Columns(const std::vector<Column>& columns) {
  if (!Open()) return;
  Emit([&](ByteWriter& out) { WriteColumnMetadata(out, columns, version_); });
  columns_ = columns;
  result_set_open_ = true;
}

void ResponseWriter::Row(const std::vector<Value>& values) {
  if (!Open()) return;
  Emit([&](ByteWriter& out) { WriteRow(out, columns_, values, version_); });
}

void ResponseWriter::Done(const StatementDone& done) {
  if (!Open()) return;
  if (done.cancelled) {
    cut_short_ = true;
    return;
  }
  std::uint16_t status = (done.has_count ? kDoneCount : 0) | (done.error ? kDoneError : 0);
  std::uint16_t command = result_set_open_ ? kCommandSelect : kCommandNone;
  result_set_open_ = false;
  Hold({in_call_ ? DoneKind::kDoneInProc : DoneKind::kDone, status, command,
        static_cast<std::uint64_t>(std::max<std::int64_t>(done.count, 0))});
}

void ResponseWriter::Message(const ServerMessage& message) {
  if (!Open()) return;
  Emit([&](ByteWriter& out) { WriteMessage(out, message, server_name_, version_); });
}

void ResponseWriter::DatabaseChanged(const std::string& old_name, const std::string& new_name) {
  if (!Open()) return;
  ServerMessage info;
  info.number = kChangedDatabase;
  info.state = 1;
  info.severity = 0;
  info.text = "Changed database context to '" + new_name + "'.";
  Emit([&](ByteWriter& out) {
    WriteEnvChange(out, EnvChange::kDatabase, new_name, old_name);
    WriteMessage(out, info, server_name_, version_);
  });
}

void ResponseWriter::ReturnStatus(std::int32_t status) {
  if (!Open()) return;
  Emit([&](ByteWriter& out) { WriteReturnStatus(out, status); });
}

void ResponseWriter::ReturnValue(const Param& param) {
  if (!Open()) return;
  auto it = std::find(param_names_.begin(), param_names_.end(), param.name);
  auto ordinal =
      static_cast<std::uint16_t>(it == param_names_.end() ? 0 : it - param_names_.begin());
  Emit([&](ByteWriter& out) { WriteReturnValue(out, ordinal, param, version_); });
}

}  // namespace standin::tds

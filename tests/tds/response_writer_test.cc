// The DONE bookkeeping the engine does not see: DONE_MORE on all but the last
// DONE, DONEINPROC/DONEPROC in procedure calls, a plain DONE after a cut.
#include "response_writer.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace standin::tds {
namespace {

using B = std::vector<std::uint8_t>;

// One DONE-family token as TDS 7.4 lays it out.
B Done(std::uint8_t token, std::uint16_t status, std::uint16_t command, std::uint64_t count) {
  B b = {token, static_cast<std::uint8_t>(status), static_cast<std::uint8_t>(status >> 8),
         static_cast<std::uint8_t>(command), static_cast<std::uint8_t>(command >> 8)};
  for (int i = 0; i < 8; ++i) b.push_back(static_cast<std::uint8_t>(count >> (8 * i)));
  return b;
}

B Concat(std::initializer_list<B> parts) {
  B all;
  for (const B& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

class ResponseWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    server_ = std::make_unique<Socket>(fds[0]);
    client_ = std::make_unique<Socket>(fds[1]);
    stream_ = std::make_unique<PacketStream>(*server_, 4096, 51);
    writer_ = std::make_unique<ResponseWriter>(*stream_, TdsVersion::k74, "STANDIN");
  }

  // The payload of the one reply message the writer sent.
  B Reply() {
    B payload;
    while (true) {
      std::uint8_t header[8];
      EXPECT_TRUE(client_->ReadExact(header));
      B body(((header[2] << 8) | header[3]) - 8u);
      EXPECT_TRUE(client_->ReadExact(body));
      payload.insert(payload.end(), body.begin(), body.end());
      if (header[1] & 1) return payload;
    }
  }

  std::unique_ptr<Socket> server_, client_;
  std::unique_ptr<PacketStream> stream_;
  std::unique_ptr<ResponseWriter> writer_;
};

TEST_F(ResponseWriterTest, MarksEveryDoneButTheLastWithMore) {
  writer_->Done({true, 3, false, false});
  writer_->Done({false, 0, false, false});
  writer_->Finish(false);
  EXPECT_EQ(Reply(), Concat({Done(0xFD, 0x11, 0, 3), Done(0xFD, 0x00, 0, 0)}));
}

TEST_F(ResponseWriterTest, EndsAFailedBatchWithAnErrorDone) {
  writer_->Done({true, 1, false, false});
  writer_->Finish(true);
  EXPECT_EQ(Reply(), Concat({Done(0xFD, 0x11, 0, 1), Done(0xFD, 0x02, 0, 0)}));
}

TEST_F(ResponseWriterTest, MakesADoneWhenTheEngineReportedNone) {
  writer_->Finish(false);
  EXPECT_EQ(Reply(), Done(0xFD, 0x00, 0, 0));
}

TEST_F(ResponseWriterTest, EndsStatementsOfAProcedureCallWithDoneInProc) {
  writer_->BeginCall({"@handle"});
  writer_->Done({true, 2, false, false});
  writer_->ReturnStatus(0);
  writer_->EndCall(false);
  writer_->Finish(false);
  EXPECT_EQ(Reply(),
            Concat({Done(0xFF, 0x11, 0, 2), B{0x79, 0, 0, 0, 0}, Done(0xFE, 0x00, 0xE0, 0)}));
}

// A request an ATTENTION cut short: what it sent stays, the rest is dropped,
// and a final DONE ends the response. The acknowledgement is not in it: the
// connection sends that as a message of its own.
TEST_F(ResponseWriterTest, EndsACutShortResponseWithAPlainDone) {
  writer_->BeginCall({});
  writer_->Done({true, 2, false, false});
  writer_->Done({false, 0, false, true});
  writer_->ReturnStatus(0);  // the call never got this far
  writer_->EndCall(false);
  writer_->Finish(false);
  EXPECT_EQ(Reply(), Concat({Done(0xFF, 0x11, 0, 2), Done(0xFD, 0x00, 0, 0)}));
}

TEST_F(ResponseWriterTest, EndsAResultSetCutShortWithAPlainDone) {
  Column n{"n", {}};
  n.type.id = TypeId::Int;
  writer_->Columns({n});
  writer_->Row({std::int64_t{1}});
  writer_->Done({false, 0, false, true});
  writer_->Row({std::int64_t{2}});
  writer_->Finish(false);
  B reply = Reply();
  EXPECT_EQ(std::count(reply.begin(), reply.end(), 0xD1), 1) << "one row, none after the cut";
  EXPECT_EQ(B(reply.end() - 13, reply.end()), Done(0xFD, 0x00, 0, 0));
}

TEST_F(ResponseWriterTest, SendsNothingOfARowThatDoesNotFitItsColumns) {
  Column when{"when", {}};
  when.type.id = TypeId::DateTime;
  writer_->Columns({when});
  EXPECT_THROW(writer_->Row({std::string("not a date")}), std::invalid_argument);
  writer_->Done({true, 0, false, false});
  writer_->Finish(false);
  B reply = Reply();
  // COLMETADATA (0x81), then straight to the DONE: no partial ROW between them.
  ASSERT_GE(reply.size(), 13u);
  EXPECT_EQ(reply[0], 0x81);
  EXPECT_EQ(B(reply.end() - 13, reply.end()), Done(0xFD, 0x10, 0xC1, 0));
  EXPECT_EQ(std::count(reply.begin(), reply.end(), 0xD1), 0);
}

}  // namespace
}  // namespace standin::tds

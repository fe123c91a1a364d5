#include "transport/card_link.h"

#include <gtest/gtest.h>

#include <vector>

#include "transport/emulated_card.h"
#include "transport/frame_commands.h"
#include "transport/recording_port.h"

namespace {

using Kind = PortAccessRecord::Kind;
constexpr uint16_t Base = Lpt1Base;
constexpr uint16_t Status = Lpt1Base + 1;

class CardLinkTest : public ::testing::Test {
 protected:
  CardLinkTest() : installed_(port) { PortLatch = 0xFF; }

  RecordingPort port;

 private:
  ScopedPortBackend installed_;
};

std::vector<uint8_t> Repeat(uint8_t value, int count) {
  return std::vector<uint8_t>(static_cast<std::size_t>(count), value);
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST_F(CardLinkTest, BeginTransactionSelectsAfterFiveDelaysAndSettlesForFour) {
  for (int delay : {1, 3}) {
    port.records.clear();
    PortLatch = 0xFF;
    BeginTransaction(Base, delay);
    EXPECT_EQ(
        port.Written(),
        Concat({{0xFF, 0xFF, 0xFF}, Repeat(0xFF, 5 * delay), {0xFD}, Repeat(0xFD, 4 * delay)}))
        << delay;
    EXPECT_EQ(port.ReadCount(), 0u);
    EXPECT_EQ(PortLatch, 0xFD);
  }
}

TEST_F(CardLinkTest, EndTransactionDeselectsAndReturnsToIdle) {
  PortLatch = 0xF8;  // command, attention and clock all low
  EndTransaction(Base, 2);
  EXPECT_EQ(port.Written(), Concat({Repeat(0xF8, 4), {0xFA, 0xFB, 0xFF}, Repeat(0xFF, 2)}));
  EXPECT_EQ(PortLatch, 0xFF);
}

TEST_F(CardLinkTest, ExchangeByteDrivesCommandBeforeTheFallingEdgeAndSamplesBeforeTheRise) {
  BeginTransaction(Base, 1);
  port.records.clear();
  ExchangeByte(Base, 1, 0x01, false);

  auto out = [](uint8_t value) { return PortAccessRecord{Kind::Out, Base, value}; };
  const PortAccessRecord read{Kind::In, Status, 0xFF};
  std::vector<PortAccessRecord> expected = {
      out(0xFD), out(0xFD), out(0xF9), out(0xF9), read, out(0xFD),  // bit 0: command 1
      out(0xFD), out(0xFC), out(0xF8), out(0xF8), read, out(0xFC),  // bit 1: command falls
  };
  for (int bit = 2; bit < 8; ++bit) {
    expected.insert(expected.end(), {out(0xFC), out(0xFC), out(0xF8), out(0xF8), read, out(0xFC)});
  }
  EXPECT_EQ(port.records, expected);
}

TEST_F(CardLinkTest, ExchangeByteCostsThreePlusTwoDelayWritesAndOneReadPerBit) {
  for (int delay : {1, 4, 10}) {
    port.records.clear();
    ExchangeByte(Base, delay, 0xA5, false);
    EXPECT_EQ(port.Written().size(), 24u + 16u * delay) << delay;
    EXPECT_EQ(port.ReadCount(), 8u) << delay;
  }
}

// Only bit 6 of the status register carries the card's data.
TEST_F(CardLinkTest, ReceivedBitsComeFromStatusBitSix) {
  struct Case {
    uint8_t status;
    uint8_t received;
  };
  for (const Case c : {Case{0x40, 0xFF}, Case{0xFF, 0xFF}, Case{0xBF, 0x00}, Case{0x00, 0x00}}) {
    port.idle_status = c.status;
    EXPECT_EQ(ExchangeByte(Base, 1, 0x00, false), c.received) << int(c.status);
  }
  // Least significant bit first: the first sample is bit 0.
  port.idle_status = 0x00;
  port.scripted_reads = {0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x40};
  EXPECT_EQ(ExchangeByte(Base, 1, 0x00, false), 0xC1);
}

TEST_F(CardLinkTest, AcknowledgeWaitGivesUpAfterThePollLimit) {
  port.idle_status = 0xFF;  // bit 5 stuck high: never acknowledged
  ExchangeByte(Base, 1, 0x00, true);
  EXPECT_EQ(port.ReadCount(), 8u + 10240u);
  EXPECT_EQ(AckPollLimit, 10240);
}

TEST_F(CardLinkTest, AcknowledgeWaitStopsAtTheFirstLowBitFive) {
  port.idle_status = 0xDF;
  ExchangeByte(Base, 1, 0x00, true);
  EXPECT_EQ(port.ReadCount(), 9u);

  port.records.clear();
  port.idle_status = 0xFF;
  const auto unacknowledged = Repeat(0xFF, 8 + 4);
  port.scripted_reads.assign(unacknowledged.begin(), unacknowledged.end());
  port.scripted_reads.push_back(0xDF);
  ExchangeByte(Base, 1, 0x00, true);
  EXPECT_EQ(port.ReadCount(), 8u + 5u);
  // No write follows the polls.
  EXPECT_EQ(port.records.back().kind, Kind::In);
}

TEST_F(CardLinkTest, NoAcknowledgeWaitMeansNoExtraReads) {
  ExchangeByte(Base, 2, 0x00, false);
  EXPECT_EQ(port.ReadCount(), 8u);
}

TEST_F(CardLinkTest, LinkDelayOfZeroOrLessWritesNothing) {
  LinkDelay(Base, 0);
  LinkDelay(Base, -3);
  EXPECT_TRUE(port.records.empty());
  LinkDelay(Base, 3);
  EXPECT_EQ(port.Written(), Repeat(0xFF, 3));
}

TEST_F(CardLinkTest, LinePrimitivesChangeOneBitEach) {
  PortLatch = 0xFF;
  SetCommand(Base, false);
  SetClock(Base, false);
  SetAttention(Base, false);
  SetCommand(Base, true);
  SetClock(Base, true);
  SetAttention(Base, true);
  EXPECT_EQ(port.Written(), (std::vector<uint8_t>{0xFE, 0xFA, 0xF8, 0xF9, 0xFD, 0xFF}));
  EXPECT_EQ(ReadData(Base), true);
  EXPECT_EQ(ReadAck(Base), true);
  port.idle_status = 0x00;
  EXPECT_EQ(ReadData(Base), false);
  EXPECT_EQ(ReadAck(Base), false);
  for (const auto& record : port.records) {
    if (record.kind == Kind::In) {
      EXPECT_EQ(record.port, Status);
    }
  }
}

TEST_F(CardLinkTest, SupplyBitsAreHighInEveryByteWritten) {
  EmulatedCard card;
  RecordingPort tap(&card);
  ScopedPortBackend tapped(tap);
  PortLatch = 0x00;  // even a latch that lost them gets them back with the first write
  Frame buffer{};
  for (std::size_t i = 0; i < FrameSize; ++i) buffer[i] = static_cast<uint8_t>(i);
  ASSERT_TRUE(WriteFrame(Base, 1, 77, buffer));
  ASSERT_TRUE(ReadFrame(Base, 2, 77, buffer));
  const auto written = tap.Written();
  ASSERT_FALSE(written.empty());
  for (uint8_t value : written) ASSERT_EQ(value & DataLine::Supply, DataLine::Supply) << int(value);
}

}  // namespace

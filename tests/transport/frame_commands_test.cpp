#include "transport/frame_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>

#include "transport/card_link.h"
#include "transport/emulated_card.h"
#include "transport/recording_port.h"

namespace {

// Every byte differs from its neighbours and from the same offset in other frames.
CardImage PatternImage() {
  CardImage image{};
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<uint8_t>(i * 7 + i / FrameSize * 13 + 1);
  }
  return image;
}

Frame FrameOf(const CardImage& image, int frame) {
  Frame bytes{};
  std::copy_n(image.begin() + frame * FrameSize, FrameSize, bytes.begin());
  return bytes;
}

class FrameCommandsTest : public ::testing::Test {
 protected:
  FrameCommandsTest() : plugged_(card) {
    PortLatch = 0xFF;
    card.image() = PatternImage();
  }

  EmulatedCard card;

 private:
  ScopedPortBackend plugged_;
};

TEST_F(FrameCommandsTest, ReadsEveryFrameAtDelayOne) {
  const CardImage expected = card.image();
  for (int frame = 0; frame < static_cast<int>(FrameCount); ++frame) {
    Frame buffer{};
    ASSERT_TRUE(ReadFrame(Lpt1Base, 1, frame, buffer)) << "frame " << frame;
    ASSERT_EQ(buffer, FrameOf(expected, frame)) << "frame " << frame;
  }
  EXPECT_EQ(PortLatch, 0xFF);
}

TEST_F(FrameCommandsTest, WritesEveryFrameAtDelayOne) {
  CardImage written{};
  for (std::size_t i = 0; i < written.size(); ++i) written[i] = static_cast<uint8_t>(~i ^ (i >> 7));
  for (int frame = 0; frame < static_cast<int>(FrameCount); ++frame) {
    ASSERT_TRUE(WriteFrame(Lpt1Base, 1, frame, FrameOf(written, frame))) << "frame " << frame;
  }
  EXPECT_EQ(card.image(), written);
  EXPECT_EQ(card.flag() & NewCardFlag, 0);
}

TEST_F(FrameCommandsTest, RoundTripsASampleAtDelayTen) {
  for (int frame : {0, 1, 63, 64, 255, 256, 511, 768, 1022, 1023}) {
    Frame data{};
    for (std::size_t i = 0; i < FrameSize; ++i) data[i] = static_cast<uint8_t>(frame + i * 3);
    ASSERT_TRUE(WriteFrame(Lpt1Base, 10, frame, data)) << frame;
    Frame back{};
    ASSERT_TRUE(ReadFrame(Lpt1Base, 10, frame, back)) << frame;
    EXPECT_EQ(back, data) << frame;
  }
}

TEST_F(FrameCommandsTest, FramesOutsideTheCardTouchNoPort) {
  RecordingPort port;
  ScopedPortBackend recording(port);
  Frame buffer{};
  buffer.fill(0xAB);
  for (int frame : {-1, 1024, -1000, 65536}) {
    EXPECT_FALSE(ReadFrame(Lpt1Base, 1, frame, buffer));
    EXPECT_FALSE(WriteFrame(Lpt1Base, 1, frame, buffer));
  }
  EXPECT_TRUE(port.records.empty());
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0xAB; }));
}

TEST(FrameChecksumTest, IsTheXorOfAddressAndData) {
  Frame zeros{};
  EXPECT_EQ(FrameChecksum(0x0123, zeros), 0x22);
  Frame data{};
  data[0] = 0x0F;
  data[127] = 0xF0;
  EXPECT_EQ(FrameChecksum(0x03FF, data), 0x03 ^ 0xFF ^ 0x0F ^ 0xF0);
  EXPECT_EQ(AddressMsb(1023), 0x03);
  EXPECT_EQ(AddressLsb(1023), 0xFF);
}

// The bytes the PC sent, rebuilt from the command line at each rising clock edge of the
// recorded data-register writes, one list per transaction.
std::vector<std::vector<uint8_t>> SentBytes(const RecordingPort& port) {
  std::vector<std::vector<uint8_t>> transactions;
  uint8_t previous = 0xFF;
  uint8_t byte = 0;
  int bit = 0;
  for (const auto& record : port.records) {
    if (record.kind != PortAccessRecord::Kind::Out) continue;
    const uint8_t value = record.value;
    if ((previous & DataLine::Attention) && !(value & DataLine::Attention)) {
      transactions.emplace_back();
      bit = 0;
      byte = 0;
    }
    const bool rising = !(previous & DataLine::Clock) && (value & DataLine::Clock);
    if (rising && !(value & DataLine::Attention)) {
      if (value & DataLine::Command) byte |= static_cast<uint8_t>(1u << bit);
      if (++bit == 8) {
        transactions.back().push_back(byte);
        byte = 0;
        bit = 0;
      }
    }
    previous = value;
  }
  return transactions;
}

TEST_F(FrameCommandsTest, AWriteSendsTheCommandAddressDataChecksumAndThreeFillers) {
  RecordingPort tap(&card);
  ScopedPortBackend tapped(tap);
  Frame data{};
  for (std::size_t i = 0; i < FrameSize; ++i) data[i] = static_cast<uint8_t>(0x80 + i);
  ASSERT_TRUE(WriteFrame(Lpt1Base, 2, 0x0123, data));

  std::vector<uint8_t> expected = {0x81, 0x57, 0x00, 0x00, 0x01, 0x23};
  expected.insert(expected.end(), data.begin(), data.end());
  expected.insert(expected.end(), {FrameChecksum(0x0123, data), 0x00, 0x00, 0x00});
  const auto sent = SentBytes(tap);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], expected);
  EXPECT_EQ(sent[0].size(), 138u);
}

TEST_F(FrameCommandsTest, AReadSendsTheCommandAndAddressThenFillers) {
  RecordingPort tap(&card);
  ScopedPortBackend tapped(tap);
  Frame buffer{};
  ASSERT_TRUE(ReadFrame(Lpt1Base, 1, 1023, buffer));
  std::vector<uint8_t> expected = {0x81, 0x52, 0x00, 0x00, 0x03, 0xFF};
  expected.resize(140, 0x00);
  const auto sent = SentBytes(tap);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], expected);
}

// Each failure of a command, made by a fault of the card; every one still ends the transaction
// (the latch is back at idle and the card deselected).
struct FailureCase {
  const char* name;
  bool write;
  void (*arrange)(EmulatedCard&);
  friend void PrintTo(const FailureCase& failure, std::ostream* out) { *out << failure.name; }
};

const FailureCase kFailureCases[] = {
    {"read_no_card", false, [](EmulatedCard& c) { c.SetInserted(false); }},
    {"write_no_card", true, [](EmulatedCard& c) { c.SetInserted(false); }},
    {"read_pulled_out", false, [](EmulatedCard& c) { c.faults().pulled_out_at_frame = 5; }},
    {"write_pulled_out", true, [](EmulatedCard& c) { c.faults().pulled_out_at_frame = 5; }},
    {"read_no_second_ack", false, [](EmulatedCard& c) { c.faults().extra_command_ack1 = 255; }},
    {"read_wrong_echo", false, [](EmulatedCard& c) { c.faults().wrong_address_echo_frame = 5; }},
    {"read_flipped_bit", false,
     [](EmulatedCard& c) {
       c.faults().flipped_bit_frame = 5;
       c.faults().flipped_bit = 77;
     }},
    {"write_flipped_bit", true,
     [](EmulatedCard& c) {
       c.faults().flipped_bit_frame = 5;
       c.faults().flipped_bit = 1023;
     }},
    {"read_wrong_end", false, [](EmulatedCard& c) { c.faults().wrong_end_byte_frame = 5; }},
    {"write_wrong_end", true,
     [](EmulatedCard& c) {
       c.faults().wrong_end_byte_frame = 5;
       c.faults().wrong_end_byte = 0x00;
     }},
};

class FrameFailureTest : public FrameCommandsTest,
                         public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FrameFailureTest, FailsAndEndsTheTransaction) {
  const FailureCase& failure = GetParam();
  failure.arrange(card);
  Frame buffer{};
  const bool done = failure.write ? WriteFrame(Lpt1Base, 1, 5, FrameOf(PatternImage(), 6))
                                  : ReadFrame(Lpt1Base, 1, 5, buffer);
  EXPECT_FALSE(done);
  EXPECT_EQ(PortLatch, 0xFF);
  EXPECT_FALSE(card.selected());
  // Once the fault is gone, a card still in place answers the next command.
  if (card.inserted()) {
    card.faults() = {};
    EXPECT_TRUE(ReadFrame(Lpt1Base, 1, 6, buffer));
    EXPECT_EQ(buffer, FrameOf(PatternImage(), 6));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFailureRow, FrameFailureTest, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameCommandsTest, ABadChecksumReadStillFillsTheBuffer) {
  card.faults().flipped_bit_frame = 9;
  card.faults().flipped_bit = 8 * 40 + 3;
  Frame buffer{};
  EXPECT_FALSE(ReadFrame(Lpt1Base, 1, 9, buffer));
  Frame expected = FrameOf(card.image(), 9);
  expected[40] ^= 0x08;
  EXPECT_EQ(buffer, expected);
}

TEST_F(FrameCommandsTest, TheCardKeepsAFrameWhoseChecksumIsBad) {
  std::vector<FrameEvent> events;
  card.SetFrameObserver([&](const FrameEvent& event) { events.push_back(event); });
  card.faults().flipped_bit_frame = 12;
  Frame data{};
  data.fill(0x33);
  EXPECT_FALSE(WriteFrame(Lpt1Base, 1, 12, data));
  EXPECT_EQ(FrameOf(card.image(), 12), FrameOf(PatternImage(), 12));
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].end_byte, CardProtocol::EndBadChecksum);
  EXPECT_TRUE(WriteFrame(Lpt1Base, 1, 13, data));
  EXPECT_EQ(FrameOf(card.image(), 13), data);
}

TEST_F(FrameCommandsTest, SecondAcknowledgeMayTrailUpTo255Replies) {
  Frame buffer{};
  card.faults().extra_command_ack1 = 254;  // 0x5D comes on the 255th repetition
  EXPECT_TRUE(ReadFrame(Lpt1Base, 1, 3, buffer));
  EXPECT_EQ(buffer, FrameOf(card.image(), 3));

  card.faults().extra_command_ack1 = 255;  // it would come on the 256th
  RecordingPort tap(&card);
  ScopedPortBackend tapped(tap);
  EXPECT_FALSE(ReadFrame(Lpt1Base, 1, 3, buffer));
  // Six bytes before step 7, step 7 itself, then 256 repetitions of step 8.
  EXPECT_EQ(SentBytes(tap)[0].size(), 6u + 1u + 256u);
}

TEST_F(FrameCommandsTest, AMissingAcknowledgeDoesNotFailACommandByItself) {
  card.faults().ack_stuck_high = true;
  Frame buffer{};
  card.ResetCounters();
  EXPECT_TRUE(ReadFrame(Lpt1Base, 1, 2, buffer));
  EXPECT_EQ(card.counters().ack_polls, static_cast<uint64_t>(AckPollLimit));
  card.ResetCounters();
  EXPECT_TRUE(WriteFrame(Lpt1Base, 1, 2, buffer));
  EXPECT_EQ(card.counters().ack_polls, 7u * AckPollLimit);
}

TEST_F(FrameCommandsTest, ASlowCardNeedsALongerDelay) {
  card.faults().settle_ticks = 3;  // the sample comes delay + 1 ticks after the falling edge
  Frame buffer{};
  EXPECT_FALSE(ReadFrame(Lpt1Base, 1, 7, buffer));
  EXPECT_TRUE(ReadFrame(Lpt1Base, 2, 7, buffer));
  EXPECT_EQ(buffer, FrameOf(card.image(), 7));
}

TEST_F(FrameCommandsTest, ACardOnAnotherPortDoesNotAnswer) {
  Frame buffer{};
  EXPECT_FALSE(ReadFrame(Lpt3Base, 1, 0, buffer));
  EXPECT_FALSE(WriteFrame(Lpt2Base, 1, 0, buffer));
  EXPECT_TRUE(ReadFrame(Lpt1Base, 1, 0, buffer));
}

// Port accesses per frame, as the link's step counts give them.
TEST_F(FrameCommandsTest, CostPerFrameFollowsTheDelay) {
  for (int delay : {1, 3, 10}) {
    Frame buffer{};
    card.ResetCounters();
    ASSERT_TRUE(ReadFrame(Lpt1Base, delay, 100, buffer));
    EXPECT_EQ(card.counters().port_writes, 3367u + 2395u * delay) << delay;
    EXPECT_EQ(card.counters().status_reads - card.counters().ack_polls, 1120u) << delay;

    card.ResetCounters();
    ASSERT_TRUE(WriteFrame(Lpt1Base, delay, 100, buffer));
    EXPECT_EQ(card.counters().port_writes, 3319u + 2351u * delay) << delay;
    EXPECT_EQ(card.counters().status_reads - card.counters().ack_polls, 1104u) << delay;
  }
}

}  // namespace

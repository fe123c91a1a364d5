#include "transport/emulated_card.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_folder.h"
#include "transport/card_link.h"
#include "transport/frame_commands.h"

namespace {

using namespace CardProtocol;
using Bytes = std::vector<uint8_t>;

class EmulatedCardTest : public ::testing::Test {
 protected:
  EmulatedCardTest() : plugged_(card) { PortLatch = 0xFF; }

  // One transaction of raw bytes; the card's replies in order.
  Bytes Transact(const Bytes& sent, bool wait_ack = false) {
    Bytes replies;
    BeginTransaction(Lpt1Base, 1);
    for (uint8_t byte : sent) replies.push_back(ExchangeByte(Lpt1Base, 1, byte, wait_ack));
    EndTransaction(Lpt1Base, 1);
    return replies;
  }

  static Bytes ReadCommandBytes(int frame) {
    Bytes bytes = {MemoryCardAccess, ReadCommand, 0, 0, AddressMsb(frame), AddressLsb(frame)};
    bytes.resize(140, Filler);
    return bytes;
  }

  static Bytes WriteCommandBytes(int frame, const Frame& data, uint8_t checksum) {
    Bytes bytes = {MemoryCardAccess, WriteCommand, 0, 0, AddressMsb(frame), AddressLsb(frame)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    bytes.insert(bytes.end(), {checksum, 0, 0, 0});
    return bytes;
  }

  EmulatedCard card;

 private:
  ScopedPortBackend plugged_;
};

// The exchange of the public protocol, byte by byte: what the host sends and what a card answers.
struct ExchangeRow {
  std::size_t index;  // position in the command
  uint8_t sent;
  uint8_t reply;
};

TEST_F(EmulatedCardTest, AReadAnswersAsTheProtocolDescribes) {
  for (std::size_t i = 0; i < FrameSize; ++i) card.image()[0x2A5 * FrameSize + i] = uint8_t(i);
  Bytes sent = {0x81, 0x52, 0x00, 0x00, 0x02, 0xA5};
  sent.resize(140, 0x00);
  const Bytes replies = Transact(sent);
  ASSERT_EQ(replies.size(), 140u);
  // The checksum: 0x02 ^ 0xA5 ^ (0 ^ 1 ^ ... ^ 127) = 0xA7.
  constexpr ExchangeRow kRead[] = {
      {0, 0x81, 0xFF},  {1, 0x52, 0x08},  {2, 0x00, 0x5A},   {3, 0x00, 0x5D},   {4, 0x02, 0x00},
      {5, 0xA5, 0x02},  {6, 0x00, 0x5C},  {7, 0x00, 0x5D},   {8, 0x00, 0x02},   {9, 0x00, 0xA5},
      {10, 0x00, 0x00}, {11, 0x00, 0x01}, {137, 0x00, 0x7F}, {138, 0x00, 0xA7}, {139, 0x00, 0x47},
  };
  for (const auto& row : kRead) {
    EXPECT_EQ(sent[row.index], row.sent) << row.index;
    EXPECT_EQ(replies[row.index], row.reply) << "reply " << row.index;
  }
}

TEST_F(EmulatedCardTest, AWriteAnswersAsTheProtocolDescribes) {
  Bytes sent = {0x81, 0x57, 0x00, 0x00, 0x00, 0x03};
  sent.insert(sent.end(), 128, 0x6E);
  sent.insert(sent.end(), {0x03, 0x00, 0x00, 0x00});  // 0x00 ^ 0x03 ^ 128 equal bytes = 0x03
  const Bytes replies = Transact(sent);
  ASSERT_EQ(replies.size(), 138u);
  constexpr ExchangeRow kWrite[] = {
      {1, 0x57, 0x08}, {2, 0x00, 0x5A},   {3, 0x00, 0x5D},   {4, 0x00, 0x00},   {5, 0x03, 0x00},
      {6, 0x6E, 0x03}, {134, 0x03, 0x6E}, {135, 0x00, 0x5C}, {136, 0x00, 0x5D}, {137, 0x00, 0x47},
  };
  for (const auto& row : kWrite) {
    EXPECT_EQ(sent[row.index], row.sent) << row.index;
    EXPECT_EQ(replies[row.index], row.reply) << "reply " << row.index;
  }
  EXPECT_EQ(card.image()[3 * FrameSize + 127], 0x6E);
}

TEST_F(EmulatedCardTest, AWriteEchoesEachByteAndEndsWithItsVerdict) {
  Frame data{};
  data.fill(0x6E);
  const uint8_t checksum = FrameChecksum(3, data);
  const Bytes replies = Transact(WriteCommandBytes(3, data, checksum));
  ASSERT_EQ(replies.size(), 138u);
  EXPECT_EQ(replies[5], 0x00);    // under the LSB: the MSB just sent
  EXPECT_EQ(replies[6], 0x03);    // under data byte 0: the LSB
  EXPECT_EQ(replies[134], 0x6E);  // under the checksum: the last data byte
  EXPECT_EQ(Bytes(replies.end() - 3, replies.end()), (Bytes{CommandAck1, CommandAck2, EndGood}));

  const Bytes bad = Transact(WriteCommandBytes(4, data, checksum ^ 0x40));
  EXPECT_EQ(bad.back(), EndBadChecksum);
  EXPECT_EQ(card.image()[4 * FrameSize], 0x00);
  EXPECT_EQ(card.image()[3 * FrameSize], 0x6E);
}

TEST_F(EmulatedCardTest, TheNewCardFlagLastsUntilTheFirstGoodWrite) {
  Frame data{};
  EXPECT_EQ(Transact(ReadCommandBytes(0))[1], NewCardFlag);
  Transact(WriteCommandBytes(0, data, 0x01));  // bad checksum: the flag stays
  EXPECT_EQ(Transact(ReadCommandBytes(0))[1], NewCardFlag);
  Transact(WriteCommandBytes(0, data, FrameChecksum(0, data)));
  EXPECT_EQ(Transact(ReadCommandBytes(0))[1], 0x00);

  // Dropping a supply bit powers the card down; it comes back as a new card.
  PortOut(Lpt1Base, 0x7F);
  PortOut(Lpt1Base, 0xFF);
  EXPECT_EQ(Transact(ReadCommandBytes(0))[1], NewCardFlag);
}

TEST_F(EmulatedCardTest, SectorsAboveTheCardAreRefused) {
  const Bytes read = Transact(ReadCommandBytes(0x400));
  EXPECT_EQ(read[8], 0xFF);
  EXPECT_EQ(read[9], 0xFF);
  // It stops there: the rest reads as a released line.
  EXPECT_EQ(read[10], 0xFF);
  EXPECT_EQ(read.back(), 0xFF);

  Frame data{};
  data.fill(0x11);
  const CardImage before = card.image();
  EXPECT_EQ(Transact(WriteCommandBytes(0x400, data, FrameChecksum(0x400, data))).back(),
            EndBadSector);
  EXPECT_EQ(card.image(), before);
}

TEST_F(EmulatedCardTest, OtherCommandsAreIgnoredUntilTheNextSelect) {
  for (const Bytes& sent : {Bytes{0x01, 0x42, 0x00, 0x00}, Bytes{0x81, 0x53, 0x00, 0x00}}) {
    card.ResetCounters();
    const Bytes replies = Transact(sent, true);
    EXPECT_EQ(replies.back(), 0xFF);
    EXPECT_EQ(replies[2], 0xFF);
    // No acknowledge after the refused byte: every later wait runs to the limit.
    EXPECT_GE(card.counters().ack_polls, 3u * AckPollLimit);
    EXPECT_EQ(card.step(), CardStep::Deselected);
  }
  EXPECT_EQ(Transact(ReadCommandBytes(1))[2], CardId1);
}

TEST_F(EmulatedCardTest, AcknowledgesEveryByteButTheLast) {
  Bytes sent = ReadCommandBytes(8);
  BeginTransaction(Lpt1Base, 1);
  for (std::size_t i = 0; i < sent.size(); ++i) {
    card.ResetCounters();
    ExchangeByte(Lpt1Base, 1, sent[i], true);
    if (i + 1 < sent.size()) {
      EXPECT_LT(card.counters().ack_polls, 10u) << "byte " << i;
    } else {
      EXPECT_EQ(card.counters().ack_polls, static_cast<uint64_t>(AckPollLimit));
    }
  }
  EndTransaction(Lpt1Base, 1);
}

TEST_F(EmulatedCardTest, ADeselectedOrAbsentCardLeavesBothLinesHigh) {
  const uint8_t lines = StatusLine::Data | StatusLine::Acknowledge;
  EXPECT_EQ(PortIn(Lpt1Base + 1) & lines, lines);
  card.SetInserted(false);
  BeginTransaction(Lpt1Base, 1);
  EXPECT_EQ(ExchangeByte(Lpt1Base, 1, MemoryCardAccess, false), 0xFF);
  EXPECT_EQ(PortIn(Lpt1Base + 1) & lines, lines);
  EndTransaction(Lpt1Base, 1);
  EXPECT_EQ(Transact(ReadCommandBytes(0))[2], 0xFF);
}

TEST_F(EmulatedCardTest, ReportsEachFrameCommandAsItStartsAndEnds) {
  std::vector<FrameEvent> events;
  card.SetFrameObserver([&](const FrameEvent& event) { events.push_back(event); });
  Frame buffer{};
  ASSERT_TRUE(ReadFrame(Lpt1Base, 1, 100, buffer));
  card.faults().wrong_end_byte_frame = 101;
  EXPECT_FALSE(WriteFrame(Lpt1Base, 1, 101, buffer));
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].command, FrameCommand::Read);
  EXPECT_EQ(events[0].frame, 100);
  EXPECT_FALSE(events[0].completed);
  EXPECT_TRUE(events[1].completed);
  EXPECT_EQ(events[1].end_byte, EndGood);
  EXPECT_EQ(events[2].command, FrameCommand::Write);
  EXPECT_EQ(events[2].frame, 101);
  EXPECT_TRUE(events[3].completed);
  EXPECT_EQ(events[3].end_byte, 0x4E);
}

TEST_F(EmulatedCardTest, APulledCardIsGoneUntilPutBack) {
  card.faults().pulled_out_at_frame = 5;
  Frame buffer{};
  EXPECT_TRUE(ReadFrame(Lpt1Base, 1, 4, buffer));
  EXPECT_FALSE(ReadFrame(Lpt1Base, 1, 5, buffer));
  EXPECT_FALSE(card.inserted());
  EXPECT_FALSE(ReadFrame(Lpt1Base, 1, 6, buffer));
  card.faults() = {};
  card.SetInserted(true);
  EXPECT_TRUE(ReadFrame(Lpt1Base, 1, 6, buffer));
  EXPECT_EQ(card.flag(), NewCardFlag);
}

TEST_F(EmulatedCardTest, KeepsItsContentsInACardImageFile) {
  test_support::TempFolder folder;
  const std::string path = folder.File("card.mc");
  for (std::size_t i = 0; i < CardSize; i += 509) card.image()[i] = static_cast<uint8_t>(i >> 3);
  card.SaveTo(path);
  EmulatedCard other;
  ASSERT_TRUE(other.LoadFrom(path));
  EXPECT_EQ(other.image(), card.image());

  const Bytes short_file(CardSize - 1, 0x55);
  test_support::WriteBytes(path, short_file);
  EXPECT_FALSE(other.LoadFrom(path));
  EXPECT_EQ(other.image(), card.image());
}

}  // namespace

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "readers/emulated_ps3_adaptor.h"
#include "readers/ps3_adaptor_connection.h"
#include "support/card_builder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

class Ps3AdaptorTest : public ::testing::Test {
 protected:
  Ps3AdaptorTest() {
    card.image() = test_support::RandomCard(14);
    auto owned = std::make_unique<EmulatedPs3Adaptor>(card);
    adaptor = owned.get();
    connection = std::make_unique<Ps3AdaptorConnection>(std::move(owned));
  }

  FrameResult Read(int frame) { return connection->ReadFrame(frame, buffer); }
  FrameResult Write(int frame, const Frame& data) { return connection->WriteFrame(frame, data); }
  Frame CardFrame(int frame) const {
    Frame out{};
    std::copy_n(card.image().begin() + frame * 128, 128, out.begin());
    return out;
  }

  EmulatedCard card;
  EmulatedPs3Adaptor* adaptor = nullptr;
  std::unique_ptr<Ps3AdaptorConnection> connection;
  Frame buffer{};
};

TEST_F(Ps3AdaptorTest, PreparingAsksTheCardTypeThenPassesAGetIdThrough) {
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  const Bytes get_id = {0xAA, 0x42, 0x0A, 0x00, 0x81, 0x53, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(adaptor->packets(), (std::vector<Bytes>{{0xAA, 0x40}, get_id}));
  EXPECT_EQ(adaptor->calls(), (std::vector<std::string>{"open", "detach 0", "claim 0"}));
}

TEST_F(Ps3AdaptorTest, AReadSendsTheFramesAddressAndTakesTheCardsData) {
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  ASSERT_TRUE(Read(0x123).good());
  Bytes expected = {0xAA, 0x42, 0x8C, 0x00, 0x81, 0x52, 0x00, 0x00, 0x01, 0x23};
  expected.resize(144, 0x00);
  EXPECT_EQ(adaptor->packets().back(), expected);
  EXPECT_EQ(buffer, CardFrame(0x123));
  ASSERT_TRUE(Read(1023).good());
  EXPECT_EQ(adaptor->packets().back()[8], 0x03);
  EXPECT_EQ(adaptor->packets().back()[9], 0xFF);
}

TEST_F(Ps3AdaptorTest, AWriteCarriesDataAndChecksumAndPausesAfterward) {
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  // Frame 0x0123 with zero data has checksum 0x01 ^ 0x23 = 0x22; a first byte 0x5A makes it 0x78.
  Frame data{};
  data[0] = 0x5A;
  ASSERT_TRUE(Write(0x123, data).good());
  Bytes expected = {0xAA, 0x42, 0x8A, 0x00, 0x81, 0x57, 0x00, 0x00, 0x01, 0x23, 0x5A};
  expected.resize(138, 0x00);
  expected.insert(expected.end(), {0x78, 0x00, 0x00, 0x00});
  EXPECT_EQ(adaptor->packets().back(), expected);
  EXPECT_EQ(CardFrame(0x123), data);
  EXPECT_EQ(adaptor->slept(), 50ms);
}

TEST_F(Ps3AdaptorTest, ReleasingGivesTheInterfaceBackToTheKernelDriver) {
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  connection->Release();
  connection->Release();
  EXPECT_EQ(adaptor->calls(), (std::vector<std::string>{"open", "detach 0", "claim 0", "release 0",
                                                        "attach 0", "close"}));
  EXPECT_TRUE(adaptor->driver_attached());
  EXPECT_FALSE(adaptor->open());
}

TEST_F(Ps3AdaptorTest, WithoutAKernelDriverNothingIsDetachedOrReattached) {
  adaptor->faults.kernel_driver_attached = false;
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  connection->Release();
  EXPECT_EQ(adaptor->calls(), (std::vector<std::string>{"open", "claim 0", "release 0", "close"}));
}

struct PrepareFault {
  const char* name;
  std::function<void(EmulatedPs3Adaptor&, EmulatedCard&)> set_up;
  const char* message_part;
};

TEST_F(Ps3AdaptorTest, EachRefusalBeforeTheRunHasItsOwnMessageAndLeavesNothingHeld) {
  const std::vector<PrepareFault> faults = {
      {"no device", [](auto& a, auto&) { a.faults.plugged_in = false; }, "não encontrado"},
      {"no permission", [](auto& a, auto&) { a.faults.access_denied = true; },
       "60-vexilor-adaptador-ps3.rules"},
      {"busy", [](auto& a, auto&) { a.faults.interface_busy = true; }, "outro programa"},
      {"PS2 card", [](auto& a, auto&) { a.faults.ps2_card = true; }, "PS2"},
      {"no card", [](auto&, auto& c) { c.SetInserted(false); }, "Nenhum Memory Card"},
      {"authentication", [](auto& a, auto&) { a.faults.authentication_fails = true; },
       "falha de autenticação"},
  };
  for (const auto& fault : faults) {
    SCOPED_TRACE(fault.name);
    EmulatedCard fresh;
    auto owned = std::make_unique<EmulatedPs3Adaptor>(fresh);
    EmulatedPs3Adaptor& fake = *owned;
    fault.set_up(fake, fresh);
    Ps3AdaptorConnection adaptor_connection(std::move(owned));
    const auto failure = adaptor_connection.Prepare();
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->text.find(fault.message_part), std::string::npos) << failure->text;
    adaptor_connection.Release();
    EXPECT_FALSE(fake.open());
    EXPECT_FALSE(fake.claimed());
    EXPECT_TRUE(fake.driver_attached());
  }
}

// Replies damaged at each byte the card must get right: 55 5A, the card's 5A 5D, 5C 5D, the
// confirmed address, a data byte (caught by the checksum), the checksum and the end byte 0x47.
TEST_F(Ps3AdaptorTest, ADamagedReadReplyIsRetriedThenFails) {
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  for (size_t index : {1, 6, 7, 10, 11, 12, 13, 14, 100, 141, 142, 143}) {
    SCOPED_TRACE(index);
    adaptor->faults.garbled_byte = index;
    adaptor->faults.garbled_reply = {200, 2};
    EXPECT_TRUE(Read(200).good());
    EXPECT_EQ(buffer, CardFrame(200));
    adaptor->faults.garbled_reply = {200, 3};
    EXPECT_EQ(Read(200).status, FrameStatus::Failed);
  }
}

TEST_F(Ps3AdaptorTest, ADamagedWriteReplyIsRetriedThenFails) {
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  const Frame data = CardFrame(5);
  for (size_t index : {0, 6, 7, 139, 140, 141}) {
    SCOPED_TRACE(index);
    adaptor->faults.garbled_byte = index;
    adaptor->faults.garbled_reply = {7, 3};
    EXPECT_EQ(Write(7, data).status, FrameStatus::Failed);
    adaptor->faults.garbled_reply = {7, 2};
    EXPECT_TRUE(Write(7, data).good());
  }
}

TEST_F(Ps3AdaptorTest, ShortRepliesAndTimeoutsAreRetriedAndTimeoutsEndTheRun) {
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  adaptor->faults.short_reply = {3, 2};
  EXPECT_TRUE(Read(3).good());
  EXPECT_EQ(buffer, CardFrame(3));
  adaptor->faults.short_reply = {3, 3};
  EXPECT_EQ(Read(3).status, FrameStatus::Failed);

  adaptor->faults.timeout = {4, 2};
  EXPECT_TRUE(Read(4).good());
  adaptor->faults.timeout = {4, 3};
  const FrameResult timed_out = Read(4);
  ASSERT_EQ(timed_out.status, FrameStatus::Ended);
  EXPECT_EQ(timed_out.message->text, "O Adaptador USB PS3 não respondeu a tempo.");
}

TEST_F(Ps3AdaptorTest, UnpluggingOrPullingTheCardMidRunEndsItWithTheReason) {
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  card.SetInserted(false);
  const FrameResult no_card = Read(10);
  ASSERT_EQ(no_card.status, FrameStatus::Ended);
  EXPECT_EQ(no_card.message->text, "Nenhum Memory Card no Adaptador USB PS3.");

  card.SetInserted(true);
  adaptor->faults.unplugged_at_frame = 11;
  const FrameResult gone = Write(11, Frame{});
  ASSERT_EQ(gone.status, FrameStatus::Ended);
  EXPECT_EQ(gone.message->text, "O Adaptador USB PS3 foi desconectado.");
  connection->Release();
  EXPECT_EQ(adaptor->calls().back(), "close");
}

TEST_F(Ps3AdaptorTest, FramesOutsideTheCardAreRefusedWithoutTraffic) {
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  const size_t before = adaptor->packets().size();
  EXPECT_EQ(Read(-1).status, FrameStatus::Failed);
  EXPECT_EQ(Read(1024).status, FrameStatus::Failed);
  EXPECT_EQ(Write(1024, Frame{}).status, FrameStatus::Failed);
  EXPECT_EQ(adaptor->packets().size(), before);
}

TEST_F(Ps3AdaptorTest, AWholeCardGoesBothWays) {
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  const CardImage original = card.image();
  CardImage read{};
  for (int frame = 0; frame < 1024; ++frame) {
    ASSERT_TRUE(
        connection->ReadFrame(frame, std::span(read).subspan(frame * 128).first<128>()).good());
  }
  EXPECT_EQ(read, original);
  const CardImage other = test_support::RandomCard(41);
  for (int frame = 0; frame < 1024; ++frame) {
    ASSERT_TRUE(
        connection->WriteFrame(frame, std::span(other).subspan(frame * 128).first<128>()).good());
  }
  EXPECT_EQ(card.image(), other);
  EXPECT_EQ(adaptor->slept(), 1024 * 50ms);
}

}  // namespace

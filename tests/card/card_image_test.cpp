#include <gtest/gtest.h>

#include "support/card_builder.h"
#include "support/message_recorder.h"

using namespace test_support;

namespace {

const RecordedMessage kInvalidBlock{"Referência de Bloco Inválida", "Erro"};

TEST(CardImage, BlockNumbersOutsideTheSaveBlocksGiveNeutralResultsAndOneMessageEach) {
  CardImage image = RandomCard(7);
  const CardImage before = image;
  for (int block : {0, 16, -1, 1000}) {
    MessageRecorder recorder;
    EXPECT_EQ(GetBlockState(image, block), 0u);
    EXPECT_EQ(GetSaveSize(image, block), 0u);
    EXPECT_EQ(GetNextLink(image, block), 0u);
    EXPECT_EQ(GetRegion(image, block), "");
    EXPECT_EQ(GetProductCode(image, block), "");
    EXPECT_EQ(GetGameId(image, block), "");
    EXPECT_FALSE(IsDirectoryXorValid(image, block));
    EXPECT_EQ(GetIconType(image, block), 0u);
    EXPECT_EQ(GetSaveTitle(image, block), "");
    UpdateDirectoryXor(image, block);
    EXPECT_EQ(recorder.messages(), std::vector<RecordedMessage>(10, kInvalidBlock)) << block;
  }
  EXPECT_EQ(image, before);
}

TEST(CardImage, AvailableBlocksAreFreeOrRemovedComparedAsWholeStates) {
  CardImage image = BlankCard();
  EXPECT_EQ(CountFreeBlocks(image), 15);
  EXPECT_EQ(FindFirstFreeBlock(image), 1);
  EXPECT_TRUE(AllDirectoryXorsValid(image));

  PlaceSave(image, {.blocks = {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}});
  PlaceSave(image, {.blocks = {1, 2, 3}, .removed = true});
  EXPECT_EQ(CountFreeBlocks(image), 3);
  EXPECT_EQ(FindFirstFreeBlock(image), 1);

  SetState(image, 1, 0x1A1);  // a removed code with garbage in byte 1 is unknown
  SetState(image, 2, BlockState::InUseMiddle);
  SetState(image, 3, BlockState::InUseLast);
  EXPECT_EQ(CountFreeBlocks(image), 0);
  EXPECT_EQ(FindFirstFreeBlock(image), 0);
}

TEST(CardImage, DirectoryFieldsAreReadAsStored) {
  CardImage image = BlankCard();
  PlaceSave(image,
            {.blocks = {3, 9}, .region = 'E', .product_code = "BESLES", .game_id = "ID\x01"});
  EXPECT_EQ(GetBlockState(image, 3), BlockState::InUseFirst);
  EXPECT_EQ(GetBlockState(image, 9), BlockState::InUseLast);
  EXPECT_EQ(GetSaveSize(image, 3), 2 * BlockSize);
  EXPECT_EQ(GetNextLink(image, 3), 8);
  EXPECT_EQ(GetNextLink(image, 9), NoLink);
  EXPECT_EQ(GetProductCode(image, 3), std::string("BESLES\0\0\0\0", 10));  // nothing trimmed
  EXPECT_EQ(GetGameId(image, 3), std::string("ID\x01\0\0\0\0\0", 8));
  EXPECT_EQ(GetIconType(image, 3), 0x11);

  for (auto [byte, text] :
       {std::pair{0x41, "US"}, {0x45, "EU"}, {0x49, "JP"}, {0x42, ""}, {0x00, ""}}) {
    DirectoryFrameOf(image, 3)[DirectoryFrame::RegionOffset] = static_cast<uint8_t>(byte);
    EXPECT_EQ(GetRegion(image, 3), text) << byte;
  }
}

TEST(CardImage, XorByteFollowsTheFrame) {
  CardImage image = RandomCard(3);
  EXPECT_TRUE(AllDirectoryXorsValid(image));
  DirectoryFrameOf(image, 6)[40] ^= 0x01;
  EXPECT_FALSE(IsDirectoryXorValid(image, 6));
  UpdateDirectoryXor(image, 6);
  EXPECT_TRUE(IsDirectoryXorValid(image, 6));
}

struct TitleCase {
  const char* name;
  std::vector<uint8_t> bytes;
  std::string title;
};

void PrintTo(const TitleCase& title, std::ostream* out) {
  *out << title.name;
}

class SaveTitle : public testing::TestWithParam<TitleCase> {};

TEST_P(SaveTitle, Decodes) {
  CardImage image = BlankCard();
  PlaceSave(image, {.blocks = {5}, .title = GetParam().bytes});
  EXPECT_EQ(GetSaveTitle(image, 5), GetParam().title);
}

std::vector<uint8_t> Repeated(std::vector<uint8_t> unit, std::size_t times) {
  std::vector<uint8_t> bytes;
  for (std::size_t i = 0; i < times; ++i) bytes.insert(bytes.end(), unit.begin(), unit.end());
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    CardImage, SaveTitle,
    testing::Values(
        TitleCase{"FullWidth", {0x82, 0x60, 0x82, 0x81, 0x81, 0x40, 0x82, 0x50}, "Aa 1"},
        TitleCase{"FullWidthSymbols",
                  {0x81, 0x69, 0x81, 0x4C, 0x81, 0x4E, 0x81, 0x50, 0x81, 0x70},
                  "(\xB4\xA8\xAD}"},
        TitleCase{"NoCodeInTable", {0x82, 0xA0, 0x83, 0x41, 0x88, 0x9F}, ""},
        TitleCase{"FullWidthSpacesTrimmed", ShiftJisTitle("  Ab 9  "), "Ab 9"},
        // Only the first byte decides: a full-width code after a single byte is kept raw.
        TitleCase{"SingleByteThenTwoByte", {'A', 0x82, 0x60}, "A\x82\x60"},
        TitleCase{"SingleByteTrimmed", {' ', ' ', 'A', 'B', 'C', 0x01, ' '}, "ABC"},
        TitleCase{"InnerControlsKept", {'A', 0x00, 'B'}, std::string("A\0B", 3)},
        TitleCase{"AllSixtyFourBytes", Repeated({'x'}, 64), std::string(64, 'x')},
        TitleCase{"ThirtyTwoCodes", Repeated({0x82, 0x60}, 32), std::string(32, 'A')}),
    [](const auto& info) { return info.param.name; });

TEST(CardImage, FullWidthTableEdges) {
  const std::pair<uint16_t, std::optional<uint8_t>> rows[] = {
      {0x824F, '0'},         {0x8258, '9'},          {0x8259, std::nullopt}, {0x8260, 'A'},
      {0x8279, 'Z'},         {0x8280, std::nullopt}, {0x8281, 'a'},          {0x829A, 'z'},
      {0x8143, ','},         {0x8145, std::nullopt}, {0x817C, '-'},          {0x8194, '#'},
      {0x0000, std::nullopt}};
  for (auto [code, byte] : rows) EXPECT_EQ(FullWidthToAscii(code), byte) << std::hex << code;
}

}  // namespace

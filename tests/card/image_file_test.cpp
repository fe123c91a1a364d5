#include "card/image_file.h"

#include <gtest/gtest.h>

#include "support/card_builder.h"
#include "support/message_recorder.h"
#include "support/temp_folder.h"

using namespace test_support;

namespace {

// The blank card written out range by range, independently of the code under test.
CardImage ExpectedBlankCard() {
  CardImage image{};
  image[0] = 0x4D;
  image[1] = 0x43;
  image[127] = 0x0E;
  for (std::size_t frame = 1; frame <= 15; ++frame) {
    image[frame * 128] = 0xA0;
    image[frame * 128 + 8] = image[frame * 128 + 9] = 0xFF;
    image[frame * 128 + 127] = 0xA0;
  }
  for (std::size_t frame = 16; frame <= 35; ++frame) {
    for (std::size_t i : {0, 1, 2, 3, 8, 9}) image[frame * 128 + i] = 0xFF;
  }
  std::fill(image.begin() + 4608, image.begin() + 8064, 0xFF);
  return image;
}

TEST(ImageFile, FormatWritesTheBlankCardOverAnything) {
  CardImage image = RandomCard(11, true);
  FormatImage(image);
  EXPECT_EQ(image, ExpectedBlankCard());
}

TEST(ImageFile, SavedImagesLoadBackUnchanged) {
  TempFolder folder;
  MessageRecorder recorder;
  for (uint32_t seed : {1u, 2u, 3u}) {
    CardImage card = RandomCard(seed, seed == 3);
    std::string path = folder.File("card.mc");
    SaveImageFile(card, path);
    EXPECT_EQ(ReadBytes(path).size(), CardSize);
    CardImage loaded{};
    EXPECT_TRUE(LoadImageFile(loaded, path));
    EXPECT_EQ(loaded, card);
  }
  // A directory of zeros is no reason to refuse a file.
  CardImage zeros{};
  std::copy(HeaderFrame.begin(), HeaderFrame.end(), zeros.begin());
  WriteBytes(folder.File("zeros.mc"), zeros);
  CardImage loaded = BlankCard();
  EXPECT_TRUE(LoadImageFile(loaded, folder.File("zeros.mc")));
  EXPECT_EQ(loaded, zeros);
  EXPECT_TRUE(recorder.messages().empty());
}

TEST(ImageFile, ReadOnlyFilesLoad) {
  TempFolder folder;
  std::string path = folder.File("readonly.mc");
  WriteBytes(path, BlankCard());
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  CardImage image{};
  EXPECT_TRUE(LoadImageFile(image, path));
  EXPECT_EQ(image, BlankCard());
}

TEST(ImageFile, MissingFilesAndWrongSizesLeaveTheImageAlone) {
  TempFolder folder;
  std::filesystem::create_directory(folder.path() / "folder.mc");
  const std::pair<std::string, std::size_t> files[] = {
      {"short.mc", CardSize - 1}, {"long.mc", CardSize + 1}, {"empty.mc", 0}};
  for (auto [name, size] : files) WriteBytes(folder.File(name), std::vector<uint8_t>(size));
  const std::pair<std::string, std::string> cases[] = {
      {folder.File("missing.mc"), "Arquivo " + folder.File("missing.mc") + " não encontrado!"},
      {folder.File("folder.mc"),
       "Arquivo " + folder.File("folder.mc") + " é uma pasta, não um arquivo!"},
      {folder.File("short.mc"), "Tamanho do arquivo " + folder.File("short.mc") + " inválido!"},
      {folder.File("long.mc"), "Tamanho do arquivo " + folder.File("long.mc") + " inválido!"},
      {folder.File("empty.mc"), "Tamanho do arquivo " + folder.File("empty.mc") + " inválido!"},
  };
  for (const auto& [path, text] : cases) {
    MessageRecorder recorder;
    CardImage image = RandomCard(5);
    EXPECT_FALSE(LoadImageFile(image, path));
    EXPECT_EQ(image, RandomCard(5));
    EXPECT_EQ(recorder.messages(), (std::vector<RecordedMessage>{{text, "Erro"}}));
  }
}

TEST(ImageFile, ABadHeaderFrameIsRefusedAfterTheBytesAreRead) {
  TempFolder folder;
  // Only a wrong check byte after "MC" and zeros, with a sound directory, is called repairable.
  const std::string repairable =
      " Falha no frame 0: byte de verificação 0x0F, deveria ser 0x0E. O diretório está íntegro: "
      "o cartão pode ser reparado.";
  for (auto [offset, value] : {std::pair{127, 0x0F}, {5, 0x01}, {0, 0x4E}}) {
    CardImage file = RandomCard(9);
    file[static_cast<std::size_t>(offset)] = static_cast<uint8_t>(value);
    std::string path = folder.File("bad header.mc");
    WriteBytes(path, file);
    MessageRecorder recorder;
    CardImage image = BlankCard();
    EXPECT_FALSE(LoadImageFile(image, path));
    EXPECT_EQ(image, file);
    EXPECT_EQ(recorder.messages(),
              (std::vector<RecordedMessage>{{"Frame de identificação no arquivo " + path +
                                                 " inválido!" + (offset == 127 ? repairable : ""),
                                             "Erro"}}));
  }
}

}  // namespace

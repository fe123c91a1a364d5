// Writes a generated collection for bench/collection_bench.sh: card images holding saves of many
// games and single saves of every format, in folders of 500 files as archives keep them.
//
//   make_collection FOLDER CARDS SAVES

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "card/formats/card_file.h"
#include "card/single_save.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"

namespace {

constexpr int kGames = 300;
constexpr int kFilesPerFolder = 500;

std::string Code(int game) {
  char code[11];
  std::snprintf(code, sizeof code, "SLUS-%05d", game);
  return code;
}

std::filesystem::path FolderOf(const std::filesystem::path& root, int index) {
  std::filesystem::path folder = root / ("pasta" + std::to_string(index / kFilesPerFolder));
  std::filesystem::create_directories(folder);
  return folder;
}

// A full card: saves of 1 to 3 blocks of games drawn from the pool.
CardImage MakeCard(std::mt19937& random) {
  CardImage card = test_support::BlankCard();
  int block = FirstSaveBlock;
  while (block <= LastSaveBlock) {
    const int length = std::min(1 + static_cast<int>(random() % 3), LastSaveBlock - block + 1);
    test_support::SaveSpec save;
    for (int i = 0; i < length; ++i) save.blocks.push_back(block + i);
    save.title = test_support::SingleByteTitle("JOGO " + std::to_string(random() % 1000));
    save.product_code = Code(static_cast<int>(random() % kGames));
    save.game_id = "G" + std::to_string(random() % 100000);
    save.seed = static_cast<uint8_t>(random());
    test_support::PlaceSave(card, save);
    // The "B" before the region, as games write it.
    DirectoryFrameOf(card, block)[DirectoryFrame::NameOffset] = 'B';
    UpdateDirectoryXor(card, block);
    block += length;
  }
  return card;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "uso: make_collection PASTA CARTOES SAVES\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const int cards = std::stoi(argv[2]);
  const int saves = std::stoi(argv[3]);
  std::mt19937 random(2026);
  for (int i = 0; i < cards; ++i) {
    const CardImage card = MakeCard(random);
    // One card in ten is a DexDrive file, the rest raw images.
    const bool gme = i % 10 == 0;
    const auto path =
        FolderOf(root / "cartoes", i) / ("cartao" + std::to_string(i) + (gme ? ".gme" : ".mcd"));
    test_support::WriteBytes(
        path.string(),
        EncodeCardFile(card, NewCardContainer(gme ? CardFormat::DexDrive : CardFormat::Raw)));
  }
  constexpr SingleSaveFormat kFormats[] = {SingleSaveFormat::Mcs, SingleSaveFormat::Psv,
                                           SingleSaveFormat::ActionReplay,
                                           SingleSaveFormat::RawSave};
  constexpr const char* kExtensions[] = {".mcs", ".psv", ".psx", ".srm"};
  for (int i = 0; i < saves; ++i) {
    CardImage card = MakeCard(random);
    const std::optional<SaveContents> save = SaveOnCard(card, FirstSaveBlock);
    if (!save) return 1;
    const int format = i % 4;
    // A raw save's name is its file name, here inside a longer one as archives have it.
    const std::string name = "save" + std::to_string(i) + "-" + DirectoryName(save->frame);
    test_support::WriteBytes((FolderOf(root / "saves", i) / (name + kExtensions[format])).string(),
                             EncodeSingleSave(*save, kFormats[format]));
  }
  return 0;
}

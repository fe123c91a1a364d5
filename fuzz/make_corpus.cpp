// Writes the seed corpora of the fuzz targets into the folder given as the only argument.
#include <cstdio>
#include <filesystem>
#include <vector>

#include "card/formats/card_file.h"
#include "card/formats/save_bundle.h"
#include "card/little_endian.h"
#include "card/single_save.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"

using namespace test_support;
using Bytes = std::vector<uint8_t>;

namespace {

std::filesystem::path root;

void Seed(const std::string& target, const std::string& name, const Bytes& bytes) {
  std::filesystem::create_directories(root / target);
  WriteBytes((root / target / name).string(), bytes);
}

Bytes ExportOf(const CardImage& image, int block) {
  TempFolder folder;
  ExportSingleSave(image, block, folder.File("seed.mcs"));
  return ReadBytes(folder.File("seed.mcs"));
}

Bytes Joined(Bytes head, std::span<const uint8_t> tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  root = argv[1];
  const CardImage blank = BlankCard();
  const CardImage full = RandomCard(1);
  const CardImage damaged = RandomCard(2, true);

  Seed("fuzz_image_file", "blank.mc", Bytes(blank.begin(), blank.end()));
  Seed("fuzz_image_file", "saves.mc", Bytes(full.begin(), full.end()));
  Bytes bad_header(damaged.begin(), damaged.end());
  bad_header[127] = 0x0F;
  Seed("fuzz_image_file", "bad-header.mc", bad_header);
  Seed("fuzz_image_file", "short.mc", Bytes(full.begin(), full.begin() + 4096));

  CardImage chains = BlankCard();
  PlaceSave(chains, {.blocks = {9}, .title = ShiftJisTitle("ONE"), .icon_frames = 3});
  PlaceSave(chains, {.blocks = {7, 2, 12}, .title = SingleByteTitle("THREE")});
  CardImage long_save = BlankCard();
  PlaceSave(long_save, {.blocks = {15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}});
  Seed("fuzz_single_save", "one.mcs", ExportOf(chains, 9));
  Seed("fuzz_single_save", "three.mcs", ExportOf(chains, 7));
  std::vector<SaveContents> bundled = {*SaveOnCard(chains, 9), *SaveOnCard(chains, 7)};
  bundled[0].comment = "um";
  Seed("fuzz_save_bundle", "two.vxsaves", EncodeSaveBundle(bundled));
  Seed("fuzz_single_save", "fifteen.mcs", ExportOf(long_save, 15));
  Bytes odd_link = ExportOf(chains, 9);
  WriteLe16(odd_link, DirectoryFrame::LinkOffset, 3);
  Seed("fuzz_single_save", "one-with-link.mcs", odd_link);
  Seed("fuzz_single_save", "no-id.mcs", Bytes(SingleSaveHeaderSize + BlockSize, 0));
  Bytes lying_size = ExportOf(chains, 9);
  WriteLe32(lying_size, DirectoryFrame::SizeOffset, 15 * BlockSize);
  Seed("fuzz_single_save", "size-15-holds-1.mcs", lying_size);
  for (auto [name, format] : {std::pair{"BASLUS-00000THREE", SingleSaveFormat::RawSave},
                              {"three.psx", SingleSaveFormat::ActionReplay},
                              {"three.psv", SingleSaveFormat::Psv}}) {
    Seed("fuzz_single_save", name, EncodeSingleSave(*SaveOnCard(chains, 7), format));
  }

  // One file of each container; a DexDrive file with a comment, one cut short and one whose
  // magic is blank; a VMP whose signature does not verify.
  CardContainer commented = NewCardContainer(CardFormat::DexDrive);
  commented.comments[0] = "comment";
  const Bytes gme = EncodeCardFile(full, commented);
  Seed("fuzz_card_file", "saves.gme", gme);
  Seed("fuzz_card_file", "short.gme", Bytes(gme.begin(), gme.begin() + 0xF40 + 2 * BlockSize));
  Bytes blank_magic = EncodeCardFile(blank, NewCardContainer(CardFormat::DexDrive));
  std::fill(blank_magic.begin(), blank_magic.begin() + 12, 0);
  Seed("fuzz_card_file", "blank-magic.gme", blank_magic);
  Seed("fuzz_card_file", "saves.mem", EncodeCardFile(full, NewCardContainer(CardFormat::Vgs)));
  Bytes vmp = EncodeCardFile(damaged, NewCardContainer(CardFormat::Vmp));
  Seed("fuzz_card_file", "damaged.vmp", vmp);
  vmp[0x20] ^= 1;
  Seed("fuzz_card_file", "bad-signature.vmp", vmp);
  Seed("fuzz_card_file", "blank.psx", EncodeCardFile(blank, NewCardContainer(CardFormat::PsxCard)));

  // One save in each format, and a .PSV whose header names another console.
  for (auto [name, format] : {std::pair{"three.mcs", SingleSaveFormat::Mcs},
                              {"BASLUS-00000THREE", SingleSaveFormat::RawSave},
                              {"three.psx", SingleSaveFormat::ActionReplay},
                              {"three.psv", SingleSaveFormat::Psv}}) {
    Seed("fuzz_single_save_formats", name, EncodeSingleSave(*SaveOnCard(chains, 7), format));
  }
  Bytes other_console = EncodeSingleSave(*SaveOnCard(chains, 9), SingleSaveFormat::Psv);
  other_console[0x3C] = 2;
  Seed("fuzz_single_save_formats", "type-2.psv", other_console);

  // Every operation on every block of a few cards' directories.
  for (auto [name, card] : {std::pair{"saves", full}, {"damaged", damaged}, {"chains", chains}}) {
    Bytes script{7};
    for (uint8_t op : {1, 2, 0, 5, 4, 3, 2}) script.insert(script.end(), {op, uint8_t(4 + op)});
    Seed("fuzz_maintenance", name, Joined(script, std::span(card).first(2 * FrameSize * 8)));
  }

  // Cards the check finds sound and damaged, whole and cut after block 2 (first byte 2) or after
  // block 8, and one whose header check byte is 0x42.
  for (auto [name, card, cut] : {std::tuple{"saves", full, uint8_t{0xFF}},
                                 {"damaged", damaged, uint8_t{0xFF}},
                                 {"chains-cut-2", chains, uint8_t{2}},
                                 {"damaged-cut-8", RandomCard(5, true), uint8_t{8}}}) {
    Seed("fuzz_check", name, Joined(Bytes{cut}, card));
  }
  Bytes header_42 = Joined(Bytes{0xFF}, full);
  header_42[1 + 127] = 0x42;
  Seed("fuzz_check", "header-42", header_42);

  // Two blocks suffice: tiled over the card, every odd block holds the save of block 1.
  CardImage icons = BlankCard();
  PlaceSave(icons, {.blocks = {1}, .icon_frames = 3});
  for (auto [name, block, frame] :
       {std::tuple{"frame-1", 1, 1}, {"frame-3", 3, 3}, {"zero", 0, 0}}) {
    Bytes head{static_cast<uint8_t>(block), 0, 0, 0, 0};
    WriteLe32(head, 1, static_cast<uint32_t>(frame));
    Seed("fuzz_icon_file", name, Joined(head, std::span(icons).first(2 * BlockSize)));
  }
  return 0;
}

// Writes the sample card demo.mc and the single save demo.mcs into the folder given on the
// command line. Everything is built from the descriptions below, so the output is the same on
// every run; the test suite checks that the committed samples still match.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "card/card_image.h"
#include "card/file_io.h"
#include "card/image_file.h"
#include "card/maintenance.h"
#include "card/messages.h"
#include "card/single_save.h"
#include "demo_saves.h"

namespace {

constexpr uint8_t kUs = static_cast<uint8_t>(RegionCode::US);
constexpr uint8_t kEu = static_cast<uint8_t>(RegionCode::EU);
constexpr uint8_t kJp = static_cast<uint8_t>(RegionCode::JP);

// Blocks 11, 13, 14 and 15 stay free; the save in blocks 4 and 5 is removed afterwards.
std::vector<DemoSave> DemoSaves() {
  return {
      {"CASA NA COLINA  DIA 12", false, kUs, "DEMU-00101", "CASA0012", {1}, &HouseIcon()},
      {"CORRIDA NOTURNA  PISTA 4", false, kEu, "DEME-00205", "PISTA004", {7, 2, 12}, &FlagIcon()},
      {"FOGUETE 1", true, kJp, "DEMJ-00310", "FOGUET01", {3}, &RocketIcon()},
      {"TESTE DE MEMORIA  NIVEL 7", false, kUs, "DEMU-00412", "MEMO0007", {4, 5}, &HeartIcon()},
      {"PEIXE-BOLA 2", true, kJp, "DEMJ-00520", "PEIXE002", {6}, &FishIcon()},
      {"Arvore do Quintal", false, kEu, "DEME-00630", "ARVORE01", {8}, &TreeIcon()},
      {"Sol de Verao - dia 3", false, kUs, "DEMU-00744", "SOLVER03", {9}, &SunIcon()},
      {"Passaro Azul (voo livre)", false, kEu, "DEME-00851", "PASSARO1", {10}, &BirdIcon()},
  };
}

constexpr int kRemovedSaveBlock = 4;
constexpr int kExportedSaveBlock = 7;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Uso: %s PASTA\nGrava PASTA/demo.mc e PASTA/demo.mcs.\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  // Any message from the card library means the sample is not what it should be.
  bool refused = false;
  InstallMessageBox([&](const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    refused = true;
  });
  try {
    CardImage image{};
    FormatImage(image);
    uint32_t seed = 1;
    for (const auto& save : DemoSaves()) PlaceSave(image, save, seed++);
    RemoveSave(image, kRemovedSaveBlock);
    if (refused) return 1;
    SaveImageFile(image, folder + "/demo.mc");
    ExportSingleSave(image, kExportedSaveBlock, folder + "/demo.mcs");
  } catch (const FileError& error) {
    std::fprintf(stderr, "%s: %s\n", error.path().c_str(), error.reason().message().c_str());
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return refused ? 1 : 0;
}

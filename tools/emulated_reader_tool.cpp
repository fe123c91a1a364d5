// vexilor-leitor-emulado: a serial card reader emulated on a pseudo-terminal, to try the window
// and vexilor-cli without hardware. The card lives in a .mc file, written back on exit.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>

#include "readers/emulated/emulated_reader.h"

namespace {

volatile std::sig_atomic_t stop_requested = 0;

void RequestStop(int) {
  stop_requested = 1;
}

std::optional<ReaderFirmware> FirmwareNamed(const char* name) {
  if (std::strcmp(name, "memcarduino") == 0) return ReaderFirmware::Memcarduino;
  if (std::strcmp(name, "ps1cardlink") == 0) return ReaderFirmware::Ps1CardLink;
  if (std::strcmp(name, "dexdrive") == 0) return ReaderFirmware::DexDrive;
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  const auto firmware = argc == 3 ? FirmwareNamed(argv[1]) : std::nullopt;
  if (!firmware) {
    std::fprintf(stderr,
                 "Uso: vexilor-leitor-emulado memcarduino|ps1cardlink|dexdrive CARTAO.mc\n");
    return 2;
  }
  auto card = std::make_unique<EmulatedCard>();
  if (!card->LoadFrom(argv[2])) {
    std::fprintf(stderr, "Erro: %s não é um Memory Card de 131072 bytes.\n", argv[2]);
    return 1;
  }
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  {
    EmulatedReader reader(*firmware, *card);
    reader.Start();
    std::printf("Leitor emulado em %s; Ctrl+C termina e grava %s.\n", reader.device().c_str(),
                argv[2]);
    std::fflush(stdout);
    while (!stop_requested) pause();
  }
  try {
    card->SaveTo(argv[2]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "Erro: não foi possível gravar %s: %s\n", argv[2], error.what());
    return 1;
  }
  return 0;
}

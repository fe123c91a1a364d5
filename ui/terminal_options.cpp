#include "terminal_options.h"

#include <cstdio>
#include <cstring>

namespace {

// The manual page is made from this text by help2man: "Uso:" starts its synopsis and the
// "Opções:" lines its list of options.
constexpr char kHelp[] =
    "Uso: vexilor [ARQUIVO...]\n"
    "\n"
    "Gerenciador de Memory Card do PlayStation. Mostra os 15 blocos de uma imagem de Memory\n"
    "Card com os detalhes e os ícones animados de cada 'save'; abre e grava imagens em todos os\n"
    "formatos comuns; remove, restaura e limpa 'saves', altera a sua localidade, exporta e\n"
    "importa 'saves' únicos e grava ícones; lê, grava e formata um Memory Card pelo cabo\n"
    "DirectPad Pro na porta paralela, por um leitor serial (MemCARDuino, PS1CardLink, DexDrive)\n"
    "ou pelo Adaptador USB PS3.\n"
    "\n"
    "Cada ARQUIVO, uma imagem de Memory Card em qualquer desses formatos, abre numa janela\n"
    "própria quando o programa começa.\n"
    "\n"
    "Opções:\n"
    "  -h, --help  Mostra esta ajuda.\n"
    "  --version   Mostra a versão do programa.\n"
    "\n"
    "As opções do Qt, como -platform e -style, também valem.\n";

bool Named(const char* argument, const char* name) {
  return std::strcmp(argument, name) == 0;
}

}  // namespace

std::optional<int> AnswerTerminalOptions(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (Named(argv[i], "--help") || Named(argv[i], "-h")) {
      std::fputs(kHelp, stdout);
    } else if (Named(argv[i], "--version")) {
      std::fputs("vexilor " VEXILOR_VERSION "\n", stdout);
    } else {
      continue;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  return std::nullopt;
}

#include <cstdio>

#include "check.h"

// The Portuguese lines of the check and the repair.
namespace {

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
  return text;
}

std::string Number(uint32_t value) {
  return std::to_string(value);
}

// "bloco 3 (frame 3): " or "frame 16: " or "bloco 1: ".
std::string Where(const Finding& finding) {
  if (finding.block == 0) return "frame " + Number(static_cast<uint32_t>(finding.frame)) + ": ";
  std::string where = "bloco " + Number(static_cast<uint32_t>(finding.block));
  if (finding.frame > 0) where += " (frame " + Number(static_cast<uint32_t>(finding.frame)) + ")";
  return where + ": ";
}

std::string SaveOf(const Finding& finding) {
  return "'save' do bloco " + Number(static_cast<uint32_t>(finding.save));
}

std::string KindOfBlock(uint32_t state) {
  switch (state) {
    case 0x51:
      return "o primeiro bloco de outro 'save'";
    case 0xA1:
      return "o primeiro bloco de um 'save' removido";
    case 0xA0:
      return "um bloco livre";
    case 0x52:
    case 0x53:
      return "um bloco de 'save' em uso";
    case 0xA2:
    case 0xA3:
      return "um bloco de 'save' removido";
    default:
      return "um bloco de estado desconhecido " + Hex(state, 8);
  }
}

std::string Blocks(int count) {
  return Number(static_cast<uint32_t>(count)) + (count == 1 ? " bloco" : " blocos");
}

}  // namespace

std::string DescribeFinding(const Finding& f) {
  std::string text = Where(f);
  switch (f.kind) {
    case FindingKind::HeaderMagic:
      return text + "não começa com \"MC\"; não é um Memory Card";
    case FindingKind::HeaderFiller:
      return text + "os bytes 2 a 126 do frame de identificação deveriam ser zero";
    case FindingKind::HeaderCheckByte:
    case FindingKind::DirectoryCheckByte:
      return text + "byte de verificação " + Hex(f.found, 2) + ", deveria ser " +
             Hex(f.expected, 2);
    case FindingKind::UnknownState:
      return text + "estado " + Hex(f.found, 8) + " desconhecido";
    case FindingKind::SpecialState:
      return text + "estado " + Hex(f.found, 8) + " (" +
             (f.found == 0x434D ? "\"MC\", só para complementação" : "reservado") +
             "), não é um 'save'";
    case FindingKind::SizeField:
      return text + "tamanho " + Number(f.found) +
             " bytes, que não é de 1 a 15 blocos inteiros de 8192 bytes";
    case FindingKind::SizeMismatch:
      return text + "o tamanho diz " + Blocks(static_cast<int>(f.found)) + ", a cadeia tem " +
             Number(static_cast<uint32_t>(f.kept));
    case FindingKind::ChainLost:
      return text + "o arquivo termina antes deste bloco do " + SaveOf(f);
    case FindingKind::ChainStray:
      return text + "a cadeia do " + SaveOf(f) + " entra aqui, em " + KindOfBlock(f.found);
    case FindingKind::ChainClaimed:
      return text + "a cadeia do " + SaveOf(f) + " entra aqui, num bloco de outro 'save'";
    case FindingKind::ChainBadLink:
      return text + "ligação " + Hex(f.found, 4) + " não aponta para nenhum bloco (cadeia do " +
             SaveOf(f) + ")";
    case FindingKind::ChainLoop:
      return text + "a cadeia do " + SaveOf(f) + " volta ao bloco " + Number(f.found);
    case FindingKind::OrphanBlock:
      return text + "bloco do meio ou final (estado " + Hex(f.found, 2) +
             ") que nenhum primeiro bloco alcança";
    case FindingKind::TitleMagic:
      return text + "o frame de título não começa com \"SC\"";
    case FindingKind::IconFlag:
      return text + "tipo de ícone " + Hex(f.found, 2) + ", deveria ser de 0x11 a 0x13";
    case FindingKind::TitleUndecodable:
      return text + "o título não é um texto Shift-JIS válido";
    case FindingKind::BrokenFrameInUse:
      return text + "lista de frames defeituosos em uso (" + Hex(f.found, 8) +
             "); alguns programas guardam outros dados aqui";
  }
  return text;
}

std::string DescribeMend(const Finding& f) {
  std::string text = Where(f);
  switch (f.kind) {
    case FindingKind::HeaderCheckByte:
    case FindingKind::DirectoryCheckByte:
      return text + "byte de verificação corrigido de " + Hex(f.found, 2) + " para " +
             Hex(f.expected, 2);
    case FindingKind::SizeField:
    case FindingKind::SizeMismatch:
      return text + "tamanho corrigido para " + Blocks(f.kept) + " (" +
             Number(static_cast<uint32_t>(f.kept) * 8192) + " bytes), o que a cadeia tem";
    case FindingKind::UnknownState:
    case FindingKind::OrphanBlock:
      return text + "bloco que nenhum 'save' alcança marcado como livre";
    default:
      break;
  }
  if (f.kept == 0)
    return text + "o " + SaveOf(f) + " se perdeu com o fim do arquivo e foi liberado";
  return text + "a cadeia do " + SaveOf(f) + " foi cortada antes deste ponto; ficou com " +
         Blocks(f.kept) + " e o tamanho foi corrigido";
}

std::string FindingCode(FindingKind kind) {
  static const char* const codes[] = {
      "cabecalho-sem-mc",  "cabecalho-preenchido", "cabecalho-verificacao",
      "frame-verificacao", "estado-desconhecido",  "estado-especial",
      "tamanho-invalido",  "tamanho-diferente",    "cadeia-cortada-no-arquivo",
      "cadeia-desviada",   "cadeia-compartilhada", "ligacao-invalida",
      "cadeia-em-laco",    "bloco-orfao",          "titulo-sem-sc",
      "tipo-de-icone",     "titulo-ilegivel",      "lista-de-frames-defeituosos",
  };
  return codes[static_cast<int>(kind)];
}

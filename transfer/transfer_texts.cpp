#include "transfer/transfer_texts.h"

const TransferTexts& TextsOf(TransferKind kind) {
  static const TransferTexts read{
      "FrmParamLeitura",     "Leitura do Memory Card",  {},
      "FrmProgressoLeitura", "Progresso da leitura...",
  };
  // Write and format overwrite the card, so they are confirmed first.
  static const TransferTexts write{
      "FrmParamGravacao",
      "Gravação do Memory Card",
      "Confirma gravação do Memory Card? Todos os dados serão sobrepostos!",
      "FrmProgressoGravacao",
      "Progresso da gravação...",
  };
  static const TransferTexts format{
      "FrmParamFormatacao",     "Formatação do Memory Card",  "Confirma formatação do Memory Card?",
      "FrmProgressoFormatacao", "Progresso da formatação...",
  };
  switch (kind) {
    case TransferKind::Read:
      return read;
    case TransferKind::Write:
      return write;
    case TransferKind::Format:
      break;
  }
  return format;
}

#include "cli/catalogue.h"

#include <QStringList>

#include "card/little_endian.h"
#include "cli/listing.h"
#include "collection/save_digest.h"
#include "view/block_texts.h"
#include "view/save_title.h"

namespace {

struct RowTexts {
  QString region;
  QString product_code;
  QString game_id;
  QString title;
  int blocks;
  QString state;
  QString sha256;
};

QString Field(std::span<const uint8_t, FrameSize> frame, std::size_t offset, std::size_t length) {
  auto bytes = frame.subspan(offset, length);
  return CardText(std::string(bytes.begin(), bytes.end()));
}

RowTexts TextsOf(const FoundSave& save) {
  const Frame& frame = save.contents.frame;
  QString state = SaveStateText(save.removed ? BlockState::RemovedFirst : BlockState::InUseFirst);
  if (save.broken) state += QStringLiteral(" (cadeia inválida)");
  return {
      QString::fromStdString(RegionOfFrame(frame)),
      Field(frame, DirectoryFrame::ProductCodeOffset, DirectoryFrame::ProductCodeLength),
      Field(frame, DirectoryFrame::GameIdOffset, DirectoryFrame::GameIdLength),
      DecodeShiftJisTitle(std::span<const uint8_t>(save.title)
                              .subspan(TitleFrame::TitleOffset, TitleFrame::TitleLength)),
      // A broken chain gives no count: the size field says what the save claims.
      save.broken ? static_cast<int>(ReadLe32(frame, DirectoryFrame::SizeOffset) >> BlockSizeShift)
                  : save.contents.block_count,
      state,
      save.broken ? QString() : QString::fromLatin1(DigestText(save.digest)),
  };
}

}  // namespace

void AppendJsonString(QByteArray& out, const QString& text) {
  out += '"';
  for (char c : text.toUtf8()) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "\\u00";
          out += "0123456789abcdef"[(c >> 4) & 0x0F];
          out += "0123456789abcdef"[c & 0x0F];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

QByteArray CatalogueRowJson(const QString& file, const std::string& format, const FoundSave& save) {
  const RowTexts texts = TextsOf(save);
  QByteArray row;
  row.reserve(512);
  // Keys in the order a JSON document sorts them, as listar --json prints them.
  row += "{\"arquivo\":";
  AppendJsonString(row, file);
  row += ",\"bloco\":" + QByteArray::number(save.block);
  row += ",\"blocos\":" + QByteArray::number(texts.blocks);
  row += ",\"codigo_produto\":";
  AppendJsonString(row, texts.product_code);
  row += ",\"estado_save\":";
  AppendJsonString(row, texts.state);
  row += ",\"formato\":";
  AppendJsonString(row, QString::fromStdString(format));
  row += ",\"id_jogo\":";
  AppendJsonString(row, texts.game_id);
  row += ",\"localidade\":";
  AppendJsonString(row, texts.region);
  row += ",\"sha256\":";
  AppendJsonString(row, texts.sha256);
  row += ",\"titulo\":";
  AppendJsonString(row, texts.title);
  row += "}\n";
  return row;
}

QByteArray CatalogueRowText(const QString& file, const std::string& format, const FoundSave& save) {
  const RowTexts texts = TextsOf(save);
  QStringList fields{file,
                     QString::fromStdString(format),
                     QString::number(save.block),
                     texts.region,
                     texts.product_code,
                     texts.game_id,
                     texts.title,
                     QString::number(texts.blocks),
                     texts.state,
                     texts.sha256};
  // A tab or a line break in a title would split the row.
  for (QString& field : fields) field = Harmless(field);
  return (fields.join(u'\t') + u'\n').toUtf8();
}

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

QJsonObject CatalogueRowJson(const QString& file, const std::string& format,
                             const FoundSave& save) {
  const RowTexts texts = TextsOf(save);
  return QJsonObject{
      {"arquivo", file},
      {"formato", QString::fromStdString(format)},
      {"bloco", save.block},
      {"localidade", texts.region},
      {"codigo_produto", texts.product_code},
      {"id_jogo", texts.game_id},
      {"titulo", texts.title},
      {"blocos", texts.blocks},
      {"estado_save", texts.state},
      {"sha256", texts.sha256},
  };
}

QString CatalogueRowText(const QString& file, const std::string& format, const FoundSave& save) {
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
  return fields.join(u'\t');
}

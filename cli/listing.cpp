#include "cli/listing.h"

#include <QJsonArray>

#include "card/pocketstation.h"
#include "view/block_texts.h"
#include "view/save_title.h"

QString Harmless(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (QChar c : text) {
    const char16_t code = c.unicode();
    const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
    if (control) {
      shown += QStringLiteral("\\x") +
               QStringLiteral("%1").arg(static_cast<uint>(code), 2, 16, QLatin1Char('0')).toUpper();
    } else {
      shown += c;
    }
  }
  return shown;
}

QString ListingText(const CardImage& image, const QString& source_name) {
  QString text;
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    text += QStringLiteral("%1  %2\n").arg(block, 2).arg(Harmless(BlockLineText(image, block)));
  }
  text += Harmless(SourceLineText(source_name)) + u'\n';
  text += UsedBlocksText(image) + u'\n';
  text += FreeBlocksText(image) + u'\n';
  return text;
}

QJsonObject ListingJson(const CardImage& image, const QString& source_name) {
  QJsonArray blocks;
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    const SaveDetailTexts details = SaveDetails(image, block);
    QJsonObject line{
        {"bloco", block},
        {"estado", static_cast<qint64>(GetBlockState(image, block))},
        {"linha", BlockLineText(image, block)},
        {"titulo", DecodedSaveTitle(image, block)},
        {"codigo_produto", details.product_code},
        {"id_jogo", details.game_id},
        {"blocos", details.blocks},
        {"tipo_icone", details.icon_type},
        {"localidade", details.region},
        {"estado_save", details.save_state},
        {"xor", XorCheckText(details.xor_valid)},
        {"pocketstation", IsPocketStationFile(image, block)},
    };
    if (IsPocketStationFile(image, block)) {
      line.insert(QStringLiteral("quadros_icone_pocketstation"),
                  static_cast<qint64>(ReadMonoIcon(image, block).frames.size()));
    }
    blocks.append(line);
  }
  const int free = CountFreeBlocks(image);
  return QJsonObject{
      {"fonte", SourceLineText(source_name)},
      {"usados", SaveBlockCount - free},
      {"livres", free},
      {"blocos", blocks},
  };
}

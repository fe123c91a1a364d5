#include "block_texts.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "card/pocketstation.h"
#include "save_title.h"

namespace {

const QString PocketStationNote = QStringLiteral("PocketStation");

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned codes there pass
// through as the C1 controls of the same value, as Windows itself converts them.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QChar Windows1252ToChar(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return QChar(kHighControlRange[byte - 0x80]);
  return QChar(static_cast<char16_t>(byte));
}

bool IsBlankOrControl(QChar c) {
  return c.unicode() <= 0x20;
}

// What ends a folder's part of a path; on Windows also the backslash and a drive's colon.
#ifdef Q_OS_WIN
constexpr std::u16string_view kFolderSeparators = u"\\:/";
#else
constexpr std::u16string_view kFolderSeparators = u"/";
#endif

bool IsFileNameSeparator(QChar c) {
  return kFolderSeparators.find(c.unicode()) != std::u16string_view::npos;
}

constexpr std::u16string_view kCharactersLeftOutOfFileNames = u"\"*./:<>?\\|";

bool IsContinuationState(uint32_t state) {
  return state == BlockState::InUseMiddle || state == BlockState::InUseLast ||
         state == BlockState::RemovedMiddle || state == BlockState::RemovedLast;
}

bool IsRemovedState(uint32_t state) {
  return state >= BlockState::RemovedFirst && state <= BlockState::RemovedLast;
}

// A title is card text and ends at its first NUL, the removed mark included.
QString LineOfState(const CardImage& image, int block, uint32_t state) {
  switch (state) {
    case BlockState::Free:
      return QStringLiteral("Livre");
    case BlockState::InUseFirst:
      return CardText(GetSaveTitle(image, block));
    case BlockState::InUseMiddle:
      return QStringLiteral("Continuação do Bloco");
    case BlockState::InUseLast:
      return QStringLiteral("Continuação final do Bloco");
    case BlockState::RemovedFirst:
      return CardText(GetSaveTitle(image, block) + " *");
    case BlockState::RemovedMiddle:
      return QStringLiteral("Continuação do Bloco *");
    case BlockState::RemovedLast:
      return QStringLiteral("Continuação final do Bloco *");
    case BlockState::McFiller:
      return QStringLiteral("*** MC *** Apenas para complementação");
    case BlockState::Reserved:
      return QStringLiteral("*** Reservado *** ");
    default:
      return QStringLiteral("*** ERRO *** Tipo de Bloco Desconhecido");
  }
}

QString IconTypeText(uint8_t icon_type) {
  switch (icon_type) {
    case 0x11:
      return QStringLiteral("Estático");
    case 0x12:
    case 0x13:
      return QStringLiteral("Animado");
    default:
      return {};
  }
}

}  // namespace

QString TrimBlanksAndControls(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && IsBlankOrControl(text[first])) ++first;
  while (last > first && IsBlankOrControl(text[last - 1])) --last;
  return text.mid(first, last - first);
}

QString CardText(const std::string& windows1252) {
  QString text;
  text.reserve(static_cast<qsizetype>(windows1252.size()));
  for (char byte : windows1252) {
    if (byte == '\0') break;
    text.append(Windows1252ToChar(static_cast<unsigned char>(byte)));
  }
  return text;
}

std::optional<std::string> CardBytes(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text) {
    const char16_t code = c.unicode();
    const auto high = std::ranges::find(kHighControlRange, code);
    if (high != kHighControlRange.end()) {
      bytes += static_cast<char>(0x80 + (high - kHighControlRange.begin()));
    } else if (code <= 0xFF && (code < 0x80 || code > 0x9F)) {
      bytes += static_cast<char>(code);
    } else {
      return std::nullopt;
    }
  }
  return bytes;
}

QString SaveNameText(const CardImage& image, int block) {
  // Only the padding is left out: a name missing its "B" still says which save it is.
  std::string name;
  for (uint8_t byte : DirectoryFrameOf(image, block)
                          .subspan<DirectoryFrame::NameOffset, DirectoryFrame::NameLength>()) {
    if (byte != 0) name.push_back(static_cast<char>(byte));
  }
  return CardText(name);
}

QStringList SaveNamesText(const CardImage& image, const std::vector<int>& blocks) {
  QStringList names;
  for (int block : blocks) names << SaveNameText(image, block);
  return names;
}

QString BlockLineText(const CardImage& image, int block) {
  return LineOfState(image, block, GetBlockState(image, block));
}

QString ReadableSaveTitle(const CardImage& image, int block) {
  const QString decoded = DecodedSaveTitle(image, block);
  if (decoded.isEmpty() || decoded.contains(QChar::ReplacementCharacter)) {
    return BlockLineText(image, block);
  }
  return decoded;
}

QString BlockLineToolTip(const CardImage& image, int block, const std::string& comment) {
  QString title = DecodedSaveTitle(image, block);
  if (IsPocketStationFile(image, block)) {
    title += (title.isEmpty() ? QString() : QStringLiteral("\n")) + PocketStationNote;
  }
  const QString note = CardText(comment);
  if (note.isEmpty()) return title;
  return title.isEmpty() ? note : title + u'\n' + note;
}

SaveDetailTexts SaveDetails(const CardImage& image, int block) {
  const uint32_t state = GetBlockState(image, block);
  SaveDetailTexts details;
  details.product_code = CardText(GetProductCode(image, block));
  details.game_id = CardText(GetGameId(image, block));
  if (!IsContinuationState(state)) {
    details.blocks = QString::number(GetSaveSize(image, block) >> BlockSizeShift);
  }
  details.icon_type = IconTypeText(GetIconType(image, block));
  if (IsPocketStationFile(image, block))
    details.icon_type += QStringLiteral(" (") + PocketStationNote + u')';
  details.region = QString::fromStdString(GetRegion(image, block));
  details.save_state = SaveStateText(state);
  details.xor_valid = IsDirectoryXorValid(image, block);
  return details;
}

QString SaveStateText(uint32_t state) {
  if (IsRemovedState(state)) return QStringLiteral("Removido");
  if (state == BlockState::Free) return QStringLiteral("Livre");
  return QStringLiteral("Ocupado");
}

QString XorCheckText(bool xor_valid) {
  return xor_valid ? QStringLiteral("OK") : QStringLiteral("Erro");
}

QString SourceLineText(const QString& source_name) {
  if (source_name.isEmpty()) return QStringLiteral("Fonte: <não selecionada>");
  qsizetype start = source_name.size();
  while (start > 0 && !IsFileNameSeparator(source_name[start - 1])) --start;
  return QStringLiteral("Fonte: '") + source_name.mid(start) + u'\'';
}

QString UsedBlocksText(const CardImage& image) {
  return QStringLiteral("Blocos Usados: ") +
         QString::number(SaveBlockCount - CountFreeBlocks(image));
}

QString FreeBlocksText(const CardImage& image) {
  return QStringLiteral("Blocos Livres: ") + QString::number(CountFreeBlocks(image));
}

QString CleanFileName(const QString& text) {
  QString clean;
  clean.reserve(text.size());
  for (QChar c : text) {
    if (kCharactersLeftOutOfFileNames.find(c.unicode()) == std::u16string_view::npos) {
      clean.append(c);
    }
  }
  return clean;
}

QString SuggestSaveFileName(const QString& title, const QString& region_text) {
  return CleanFileName(TrimBlanksAndControls(title) + u'_' + TrimBlanksAndControls(region_text));
}

QString SuggestSaveFileName(const CardImage& image, int block) {
  return SuggestSaveFileName(ReadableSaveTitle(image, block), SaveDetails(image, block).region);
}

QString AddMissingExtension(const QString& name, const QString& extension) {
  for (qsizetype i = name.size() - 1; i >= 0; --i) {
    if (name[i] == u'.') return name;
    if (IsFileNameSeparator(name[i])) break;
  }
  return name + extension;
}

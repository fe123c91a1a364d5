#include "save_title.h"

#include <QByteArray>
#include <QStringDecoder>
#include <algorithm>

#include "block_texts.h"

QString DecodeShiftJisTitle(std::span<const uint8_t> title_bytes) {
  // The decoder reads through NULs, so the title is cut at its terminator first. Shift-JIS
  // never uses 0x00 as a trail byte, so the first 0x00 is the terminator.
  const auto end = std::find(title_bytes.begin(), title_bytes.end(), uint8_t{0});
  const QByteArray bytes(reinterpret_cast<const char*>(title_bytes.data()),
                         static_cast<qsizetype>(end - title_bytes.begin()));
  // Stateless: a lone lead byte at the end is dropped instead of being held back for more input.
  QStringDecoder decoder("Shift_JIS", QStringConverter::Flag::Stateless);
  if (!decoder.isValid()) return {};
  const QString decoded = decoder.decode(bytes);
  return TrimBlanksAndControls(decoded.normalized(QString::NormalizationForm_KC));
}

QString DecodedSaveTitle(const CardImage& image, int block) {
  const uint32_t state = GetBlockState(image, block);
  if (state != BlockState::InUseFirst && state != BlockState::RemovedFirst) return {};
  return DecodeShiftJisTitle(
      BlockOf(image, block).subspan(TitleFrame::TitleOffset, TitleFrame::TitleLength));
}

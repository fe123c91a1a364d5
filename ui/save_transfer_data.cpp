#include "save_transfer_data.h"

#include <QMimeData>

#include "card/formats/save_bundle.h"
#include "card/messages.h"

QString SaveTransferMimeType() {
  return QString::fromLatin1(SaveBundleMimeType.data(),
                             static_cast<qsizetype>(SaveBundleMimeType.size()));
}

QMimeData* NewSaveTransferData(std::span<const SaveContents> saves) {
  const std::vector<uint8_t> bytes = EncodeSaveBundle(saves);
  auto* data = new QMimeData;
  data->setData(SaveTransferMimeType(), QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<qsizetype>(bytes.size())));
  return data;
}

bool HoldsSaves(const QMimeData* data) {
  return data != nullptr && data->hasFormat(SaveTransferMimeType());
}

std::optional<std::vector<SaveContents>> SavesOf(const QMimeData* data) {
  if (!HoldsSaves(data)) return std::nullopt;
  const QByteArray bytes = data->data(SaveTransferMimeType());
  std::optional<std::vector<SaveContents>> saves =
      DecodeSaveBundle(std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                 static_cast<std::size_t>(bytes.size())),
                       "colado");
  if (!saves) {
    ShowMessage("Os 'Saves' recebidos estão danificados; nada foi colado.", "Erro");
  }
  return saves;
}

// The PocketStation submenu of "Memory Card": its serial number and clock, its BIOS, its clock
// set, through a serial reader.

#include <QApplication>
#include <QDateTime>
#include <QProgressDialog>
#include <variant>

#include "card/file_io.h"
#include "readers/pocketstation_device.h"
#include "uVexilor.h"
#include "view/block_texts.h"
#include "view/system_path.h"

namespace {

const QString kInfoCaption = QStringLiteral("Informações da PocketStation");
const QString kMessageCaption = QStringLiteral("Mensagem");

}  // namespace

std::optional<ReaderEntry> TForm1::ChoosePocketStationReader() {
  std::vector<ReaderEntry> readers = SerialReaders(readers_.list());
  if (readers.empty()) {
    dialogs_.ShowMessage(this, QStringLiteral("Nenhum leitor serial foi encontrado."),
                         QStringLiteral("Erro"));
    return std::nullopt;
  }
  // The Arduino reader is the one with the commands; the others are offered only to be told so.
  std::stable_partition(readers.begin(), readers.end(), [](const ReaderEntry& reader) {
    return reader.kind == ReaderKind::Memcarduino;
  });
  if (readers.size() == 1) return readers.front();
  QStringList labels;
  for (const ReaderEntry& reader : readers) labels << QString::fromStdString(reader.label);
  const std::optional<int> chosen =
      dialogs_.ChooseItem(this, QStringLiteral("PocketStation"), QStringLiteral("Leitor:"), labels);
  if (!chosen) return std::nullopt;
  return readers.at(static_cast<std::size_t>(*chosen));
}

namespace {

void ShowFailure(UserDialogs& dialogs, QWidget* parent, const ConnectionFailure& failure) {
  dialogs.ShowMessage(parent, QString::fromStdString(failure.text),
                      QString::fromStdString(failure.caption));
}

// The device opened on the chosen reader, or nothing after its refusal was shown.
std::unique_ptr<PocketStationDevice> OpenDevice(const ReaderEntry& reader, UserDialogs& dialogs,
                                                QWidget* parent) {
  auto device = std::make_unique<PocketStationDevice>(reader);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  auto failure = device->Open();
  QApplication::restoreOverrideCursor();
  if (!failure) return device;
  ShowFailure(dialogs, parent, *failure);
  return nullptr;
}

}  // namespace

void TForm1::PocketStationInfo1Click() {
  const auto reader = ChoosePocketStationReader();
  if (!reader) return;
  auto device = OpenDevice(*reader, dialogs_, this);
  if (!device) return;
  const auto info = device->ReadInfo();
  if (const auto* failure = std::get_if<ConnectionFailure>(&info)) {
    ShowFailure(dialogs_, this, *failure);
    return;
  }
  dialogs_.ShowMessage(this, QString::fromStdString(InfoText(std::get<PocketStation::Info>(info))),
                       kInfoCaption);
}

void TForm1::PocketStationBios1Click() {
  const auto reader = ChoosePocketStationReader();
  if (!reader) return;
  SaveDialogBios = {QStringLiteral("SaveDialogBios"),
                    FileDialogRequest::Kind::Save,
                    {},
                    QStringLiteral("BIOS da PocketStation (.BIN)|*.bin"),
                    {},
                    QStringLiteral("pocketstation-bios.bin"),
                    true};
  const std::optional<QString> chosen = RunFileDialog(SaveDialogBios);
  if (!chosen) return;
  const QString path = AddMissingExtension(*chosen, QStringLiteral(".bin"));
  auto device = OpenDevice(*reader, dialogs_, this);
  if (!device) return;

  QProgressDialog progress(QStringLiteral("Copiando a BIOS da PocketStation..."),
                           QStringLiteral("Cancelar"), 0, PocketStation::BiosParts, this);
  progress.setObjectName(QStringLiteral("ProgressoBios"));
  progress.setWindowTitle(QStringLiteral("PocketStation"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setValue(0);
  auto copied = device->CopyBios([&progress](int parts) {
    progress.setValue(parts);
    QApplication::processEvents();
    return !progress.wasCanceled();
  });
  progress.reset();
  if (const auto* failure = std::get_if<ConnectionFailure>(&copied)) {
    ShowFailure(dialogs_, this, *failure);
    return;
  }
  WriteFileAtomically(SystemPath(path), std::get<std::vector<uint8_t>>(copied));
  dialogs_.ShowMessage(this, QString::fromStdString(BiosCopiedText(path.toStdString())),
                       kMessageCaption);
}

void TForm1::PocketStationRelogio1Click() {
  const auto reader = ChoosePocketStationReader();
  if (!reader) return;
  auto device = OpenDevice(*reader, dialogs_, this);
  if (!device) return;
  const PocketStation::Clock clock = ClockOf(QDateTime::currentDateTime());
  if (auto failure = device->SetClock(clock)) {
    ShowFailure(dialogs_, this, *failure);
    return;
  }
  dialogs_.ShowMessage(this, QString::fromStdString(ClockSetText(clock)), kMessageCaption);
}

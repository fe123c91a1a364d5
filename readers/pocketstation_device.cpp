#include "readers/pocketstation_device.h"

#include <cstdio>

#include "readers/memcarduino.h"

namespace {

constexpr const char* Caption = "Erro";
constexpr const char* WeekdayNames[] = {"domingo",      "segunda-feira", "terça-feira",
                                        "quarta-feira", "quinta-feira",  "sexta-feira",
                                        "sábado"};

std::string VersionText(uint8_t version) {
  return std::to_string(version >> 4) + "." + std::to_string(version & 0x0F);
}

}  // namespace

PocketStationDevice::PocketStationDevice(ReaderEntry reader) : reader_(std::move(reader)) {}

PocketStationDevice::~PocketStationDevice() {
  if (connection_) connection_->Release();
}

std::optional<ConnectionFailure> PocketStationDevice::Open() {
  const char* arduino = MemcarduinoConnection::NameOf(MemcarduinoConnection::Model::Arduino);
  if (reader_.kind != ReaderKind::Memcarduino) {
    return ConnectionFailure{std::string("Só o leitor ") + arduino +
                                 " (firmware 0.8 ou mais recente) tem os comandos da "
                                 "PocketStation.",
                             Caption};
  }
  connection_ =
      std::make_unique<MemcarduinoConnection>(reader_.port, MemcarduinoConnection::Model::Arduino);
  if (auto failure = connection_->Prepare()) return failure;
  const uint8_t version = connection_->FirmwareVersion();
  if (version < PocketStation::FirstFirmware) {
    return ConnectionFailure{std::string("O firmware do ") + arduino + " é a versão " +
                                 VersionText(version) +
                                 ", que não tem os comandos da PocketStation. Atualize-o para a "
                                 "versão 0.8 ou mais recente.",
                             Caption};
  }
  return std::nullopt;
}

ConnectionFailure PocketStationDevice::NotAPocketStation() const {
  return {"O cartão no leitor " +
              std::string(MemcarduinoConnection::NameOf(MemcarduinoConnection::Model::Arduino)) +
              " não é uma PocketStation (ou não há cartão no leitor).",
          Caption};
}

ConnectionFailure PocketStationDevice::Unplugged() const {
  return {"O leitor " +
              std::string(MemcarduinoConnection::NameOf(MemcarduinoConnection::Model::Arduino)) +
              " foi desconectado ou parou de responder.",
          Caption};
}

std::variant<PocketStation::Info, ConnectionFailure> PocketStationDevice::ReadInfo() {
  const uint8_t command[] = {PocketStation::InfoCommand};
  const auto outcome = connection_->Converse(command, PocketStation::InfoReplySize, reply_);
  if (outcome == SerialLine::Outcome::Gone) return Unplugged();
  if (auto info = PocketStation::ParseInfoReply(reply_)) return *info;
  return NotAPocketStation();
}

std::variant<std::vector<uint8_t>, ConnectionFailure> PocketStationDevice::CopyBios(
    const BiosProgress& progress) {
  auto refused = [](ConnectionFailure failure) {
    failure.text += " Nada foi gravado.";
    return failure;
  };
  std::vector<uint8_t> bios(PocketStation::BiosSize);
  for (int part = 0; part < PocketStation::BiosParts; ++part) {
    const uint8_t command[] = {PocketStation::BiosCommand, static_cast<uint8_t>(part)};
    const auto out = std::span<uint8_t>(bios).subspan(static_cast<std::size_t>(part) * FrameSize);
    ReplyCheck check = ReplyCheck::Bad;
    for (int tries = 0; tries < PartAttempts && check == ReplyCheck::Bad; ++tries) {
      const auto outcome = connection_->Converse(command, PocketStation::BiosReplySize, reply_);
      if (outcome == SerialLine::Outcome::Gone) return refused(Unplugged());
      check = PocketStation::CheckBiosReply(reply_, out.first<FrameSize>());
    }
    if (check == ReplyCheck::NoCard) return refused(NotAPocketStation());
    if (check == ReplyCheck::Bad) {
      return refused({"A PocketStation não entregou a parte " + std::to_string(part + 1) + " de " +
                          std::to_string(PocketStation::BiosParts) + " da BIOS.",
                      Caption});
    }
    if (!progress(part + 1)) return refused({"Cópia da BIOS cancelada.", "Atenção"});
  }
  return bios;
}

std::optional<ConnectionFailure> PocketStationDevice::SetClock(const PocketStation::Clock& clock) {
  const uint8_t command[] = {PocketStation::ClockCommand};
  auto outcome = connection_->Converse(command, PocketStation::ClockReady.size(), reply_);
  if (outcome == SerialLine::Outcome::Gone) return Unplugged();
  // Without the card's go-ahead the time is not sent: something else would take it as commands.
  if (!std::equal(reply_.begin(), reply_.end(), PocketStation::ClockReady.begin(),
                  PocketStation::ClockReady.end())) {
    return NotAPocketStation();
  }
  const auto fields = PocketStation::ClockBytes(clock);
  outcome = connection_->Converse(fields, 1, reply_);
  if (outcome == SerialLine::Outcome::Gone) return Unplugged();
  if (reply_.size() != 1 || reply_[0] != PocketStation::Done) return NotAPocketStation();
  return std::nullopt;
}

std::string ClockText(const PocketStation::Clock& clock) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", clock.day, clock.month,
                clock.year, clock.hour, clock.minute, clock.second);
  std::string shown = text;
  if (clock.weekday >= 1 && clock.weekday <= 7) {
    shown += std::string(" (") + WeekdayNames[clock.weekday - 1] + ")";
  }
  return shown;
}

PocketStation::Clock ClockOf(const QDateTime& time) {
  const QDate date = time.date();
  const QTime clock = time.time();
  return {date.year(),
          date.month(),
          date.day(),
          clock.hour(),
          clock.minute(),
          clock.second(),
          PocketStation::CardWeekday(date.dayOfWeek())};
}

std::string InfoText(const PocketStation::Info& info) {
  char serial[16];
  std::snprintf(serial, sizeof serial, "%08X", static_cast<unsigned>(info.serial));
  return std::string("Número de série: ") + serial + "\nData e hora: " + ClockText(info.clock);
}

std::string ClockSetText(const PocketStation::Clock& clock) {
  return "Relógio da PocketStation acertado: " + ClockText(clock) + ".";
}

std::string BiosCopiedText(const std::string& path) {
  return "BIOS da PocketStation copiada para " + path + ".";
}

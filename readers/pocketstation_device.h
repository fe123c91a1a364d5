#pragma once

#include <QDateTime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "readers/pocketstation_protocol.h"
#include "readers/reader_entry.h"

class MemcarduinoConnection;

// A PocketStation in a MemCARDuino: its serial number and clock, its BIOS, its clock set. Both
// front ends drive it; every failure comes back as the message to show, in Portuguese.
class PocketStationDevice {
 public:
  explicit PocketStationDevice(ReaderEntry reader);
  ~PocketStationDevice();
  PocketStationDevice(const PocketStationDevice&) = delete;
  PocketStationDevice& operator=(const PocketStationDevice&) = delete;

  // Opens the reader and checks that it has the commands: other readers and firmware older than
  // 0.8 have none.
  std::optional<ConnectionFailure> Open();

  std::variant<PocketStation::Info, ConnectionFailure> ReadInfo();
  // The whole BIOS or the reason there is none (which says that nothing was written): progress
  // (parts done) is asked after each part and ends the copy when it answers false. A part that
  // fails four times ends it too.
  using BiosProgress = std::function<bool(int parts_done)>;
  std::variant<std::vector<uint8_t>, ConnectionFailure> CopyBios(const BiosProgress& progress);
  std::optional<ConnectionFailure> SetClock(const PocketStation::Clock& clock);

  static constexpr int PartAttempts = 4;

 private:
  ConnectionFailure NotAPocketStation() const;
  ConnectionFailure Unplugged() const;

  ReaderEntry reader_;
  std::unique_ptr<MemcarduinoConnection> connection_;
  std::vector<uint8_t> reply_;
};

// A local date and time as the card keeps it.
PocketStation::Clock ClockOf(const QDateTime& time);

// What the front ends say after each command.
std::string InfoText(const PocketStation::Info& info);  // serial number, date and time
std::string ClockSetText(const PocketStation::Clock& clock);
std::string BiosCopiedText(const std::string& path);  // path as shown

// "Data e hora" as the dialog and the command line show it: "08/12/2026 23:45:07 (terça-feira)".
std::string ClockText(const PocketStation::Clock& clock);

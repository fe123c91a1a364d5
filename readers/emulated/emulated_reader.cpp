#include "readers/emulated/emulated_reader.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace {

// The Arduino reader's commands and replies.
constexpr uint8_t kArduinoGetId = 0xA0;
constexpr uint8_t kArduinoGetVersion = 0xA1;
constexpr uint8_t kArduinoRead = 0xA2;
constexpr uint8_t kArduinoWrite = 0xA3;
constexpr uint8_t kConsoleSlot = 0xA4;  // the console-side reader only
constexpr uint8_t kArduinoUnknown = 0xE0;
constexpr uint8_t kCardGood = 0x47;         // 'G'
constexpr uint8_t kCardBadChecksum = 0x4E;  // 'N'
constexpr uint8_t kCardAbsent = 0xFF;       // the data line floats high
constexpr uint8_t kArduinoVersion = 0x09;
// From firmware 0.8 on, the PocketStation's serial and clock, its BIOS and its clock setting.
constexpr uint8_t kPocketInfo = 0xB0;
constexpr uint8_t kPocketBios = 0xB1;
constexpr uint8_t kPocketTime = 0xB2;
constexpr int kPocketFirmware = 0x08;
constexpr std::size_t kPocketInfoBytes = 18;
constexpr std::size_t kPocketTimeBytes = 8;
constexpr uint8_t kConsoleVersion = 0x11;

// The drive's framing.
constexpr uint8_t kI = 0x49;
constexpr uint8_t kA = 0x41;
constexpr uint8_t kDexInit = 0x00;
constexpr uint8_t kDexStatus = 0x01;
constexpr uint8_t kDexRead = 0x02;
constexpr uint8_t kDexWrite = 0x04;
constexpr uint8_t kDexLight = 0x07;
constexpr uint8_t kDexHandshake = 0x27;
constexpr uint8_t kDexNotInitialised = 0x20;
// Not documented; the drive answers the handshake and bad writes with an error reply.
constexpr uint8_t kDexError = 0x21;
constexpr uint8_t kDexNoCard = 0x22;
constexpr uint8_t kDexCard = 0x23;
constexpr uint8_t kDexId = 0x40;
constexpr uint8_t kDexData = 0x41;
constexpr uint8_t kDexWriteOk = 0x28;
constexpr uint8_t kDexWriteSame = 0x29;
constexpr std::size_t kDexInitKeyBytes = 17;

constexpr std::size_t kFrameBytes = 128;
constexpr int kFrames = 1024;

uint8_t Mirror(uint8_t byte) {
  uint8_t mirrored = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (byte & (1 << bit)) mirrored = static_cast<uint8_t>(mirrored | (0x80 >> bit));
  }
  return mirrored;
}

uint8_t XorAll(const uint8_t* bytes, std::size_t count, uint8_t start) {
  for (std::size_t i = 0; i < count; ++i) start = static_cast<uint8_t>(start ^ bytes[i]);
  return start;
}

std::vector<uint8_t> DexReply(uint8_t opcode) {
  return {kI, kA, kI, opcode};
}

}  // namespace

EmulatedReader::EmulatedReader(ReaderFirmware firmware, EmulatedCard& card)
    : firmware_(firmware), card_(card) {
  char name[128] = {};
  if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }
  termios raw{};
  tcgetattr(slave_, &raw);
  cfmakeraw(&raw);
  tcsetattr(slave_, TCSANOW, &raw);
  device_ = name;
}

EmulatedReader::~EmulatedReader() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (master_ >= 0) close(master_);
  if (slave_ >= 0) close(slave_);
}

void EmulatedReader::Start() {
  bad_checksum_left_ = faults_.bad_checksum_times;
  noisy_data_left_ = faults_.noisy_data_times;
  silent_left_ = faults_.silent_times;
  garbage_left_ = faults_.garbage_times;
  thread_ = std::thread([this] { Serve(); });
}

std::vector<uint8_t> EmulatedReader::Received() const {
  std::lock_guard lock(received_mutex_);
  return received_;
}

void EmulatedReader::Serve() {
  while (!stop_ && master_ >= 0) {
    pollfd waiting{master_, POLLIN, 0};
    if (poll(&waiting, 1, 10) <= 0 || !(waiting.revents & POLLIN)) continue;
    uint8_t bytes[512];
    const ssize_t count = read(master_, bytes, sizeof bytes);
    if (count <= 0) continue;
    {
      std::lock_guard lock(received_mutex_);
      received_.insert(received_.end(), bytes, bytes + count);
    }
    input_.insert(input_.end(), bytes, bytes + count);
    const bool dexdrive = firmware_ == ReaderFirmware::DexDrive;
    while (master_ >= 0 && !input_.empty() && (dexdrive ? HandleDexDrive() : HandleMemcarduino())) {
    }
  }
}

bool EmulatedReader::Spoil(int fault_frame, int& times_left, int frame) {
  if (fault_frame == EmulatedReaderFaults::NoFrame || fault_frame != frame || times_left <= 0) {
    return false;
  }
  --times_left;
  return true;
}

void EmulatedReader::Pull() {
  close(master_);
  master_ = -1;
  close(slave_);
  slave_ = -1;
}

// The reply as the faults leave it, paced and delayed as asked.
void EmulatedReader::Reply(std::vector<uint8_t> reply, int frame) {
  const bool slow =
      faults_.slow_frame == EmulatedReaderFaults::NoFrame || faults_.slow_frame == frame;
  if (faults_.reply_delay_ms > 0 && slow) {
    std::this_thread::sleep_for(std::chrono::milliseconds(faults_.reply_delay_ms));
  }
  if (Spoil(faults_.garbage_frame, garbage_left_, frame)) {
    for (std::size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<uint8_t>(0x5A + i * 7);
  }
  if (Spoil(faults_.silent_frame, silent_left_, frame)) reply.resize(reply.size() / 2);
  const auto start = std::chrono::steady_clock::now();
  const auto byte_time =
      std::chrono::nanoseconds(faults_.baud > 0 ? 10'000'000'000LL / faults_.baud : 0);
  // Paced replies go out a few bytes at a time, each batch no earlier than the line allows.
  const std::size_t batch = faults_.baud > 0 ? 8 : reply.size();
  for (std::size_t sent = 0; sent < reply.size();) {
    const std::size_t count = std::min(batch, reply.size() - sent);
    if (faults_.baud > 0) std::this_thread::sleep_until(start + byte_time * sent);
    const ssize_t written = write(master_, reply.data() + sent, count);
    if (written <= 0) return;
    sent += static_cast<std::size_t>(written);
  }
}

int EmulatedReader::CardFrame(int frame) const {
  return faults_.wrap_after_frames > 0 ? frame % faults_.wrap_after_frames : frame;
}

void EmulatedReader::ReadCardFrame(int frame, std::vector<uint8_t>& data) const {
  const uint8_t* bytes = card_.image().data() + CardFrame(frame) * kFrameBytes;
  data.insert(data.end(), bytes, bytes + kFrameBytes);
}

void EmulatedReader::WriteCardFrame(int frame, const uint8_t* data) {
  if (faults_.drop_writes_from_frame != EmulatedReaderFaults::NoFrame &&
      frame >= faults_.drop_writes_from_frame) {
    return;
  }
  std::copy(data, data + kFrameBytes, card_.image().data() + CardFrame(frame) * kFrameBytes);
}

bool EmulatedReader::HandlePocketStation(uint8_t command) {
  const bool present = pocketstation_.has_value() && card_.inserted();
  if (awaiting_time_) {
    if (input_.size() < kPocketTimeBytes) return false;
    std::copy_n(input_.begin(), kPocketTimeBytes, pocketstation_->clock.begin());
    input_.erase(input_.begin(), input_.begin() + kPocketTimeBytes);
    awaiting_time_ = false;
    Reply({kCardGood}, EmulatedReaderFaults::NoFrame);
    return true;
  }
  if (command == kPocketBios && input_.size() < 2) return false;
  const int part = command == kPocketBios ? input_[1] : 0;
  input_.erase(input_.begin(), input_.begin() + (command == kPocketBios ? 2 : 1));
  if (command == kPocketBios && part == faults_.pulled_at_bios_part) {
    Pull();
    return false;
  }
  // Without a PocketStation nothing drives the data line back: the relayed bytes read 0xFF.
  std::vector<uint8_t> reply;
  if (command == kPocketInfo) {
    reply.assign(1 + kPocketInfoBytes, kCardAbsent);
    if (present) {
      // Length, directory index 0, four flag bytes, serial LSB first, the clock.
      reply = {0x12, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
      for (int shift = 0; shift < 32; shift += 8) {
        reply.push_back(static_cast<uint8_t>(pocketstation_->serial >> shift));
      }
      reply.insert(reply.end(), pocketstation_->clock.begin(), pocketstation_->clock.end());
    }
  } else if (command == kPocketBios) {
    reply.assign(2 + kFrameBytes + 1, kCardAbsent);
    if (present) {
      reply = {0x05, 0x80};
      const auto start = pocketstation_->bios.begin() + static_cast<long>(part * kFrameBytes);
      reply.insert(reply.end(), start, start + kFrameBytes);
      reply.push_back(kCardGood);
    }
  } else {
    reply = present ? std::vector<uint8_t>{0x00, 0x08} : std::vector<uint8_t>{0xFF, 0xFF};
    awaiting_time_ = present;
  }
  Reply(std::move(reply), EmulatedReaderFaults::NoFrame);
  return true;
}

bool EmulatedReader::HandleMemcarduino() {
  const bool console = firmware_ == ReaderFirmware::Ps1CardLink;
  const uint8_t command = input_[0];
  const int version = faults_.firmware_version >= 0 ? faults_.firmware_version : kArduinoVersion;
  const bool pocket_command = command >= kPocketInfo && command <= kPocketTime;
  if (awaiting_time_ || (!console && version >= kPocketFirmware && pocket_command)) {
    return HandlePocketStation(command);
  }
  std::size_t length = 1;
  if (command == kArduinoRead) length = 3;
  if (command == kArduinoWrite) length = 3 + kFrameBytes + 1;
  if (command == kConsoleSlot && console) length = 2;
  if (input_.size() < length) return false;
  std::vector<uint8_t> args(input_.begin() + 1, input_.begin() + static_cast<long>(length));
  input_.erase(input_.begin(), input_.begin() + static_cast<long>(length));

  switch (command) {
    case kArduinoGetId: {
      const std::string id = console ? "PS1CLNK" : "MCDINO";
      Reply(std::vector<uint8_t>(id.begin(), id.end()), EmulatedReaderFaults::NoFrame);
      return true;
    }
    case kArduinoGetVersion:
      Reply({console ? kConsoleVersion : static_cast<uint8_t>(version)},
            EmulatedReaderFaults::NoFrame);
      return true;
    case kArduinoRead:
    case kArduinoWrite:
      break;
    default:
      if (!(command == kConsoleSlot && console)) {
        Reply({kArduinoUnknown}, EmulatedReaderFaults::NoFrame);
      }
      return true;
  }

  const int frame = (args[0] << 8) | args[1];
  if (frame == faults_.pulled_at_frame) {
    Pull();
    return false;
  }
  const bool bad = Spoil(faults_.bad_checksum_frame, bad_checksum_left_, frame);
  std::vector<uint8_t> reply;
  if (command == kArduinoRead) {
    if (!card_.inserted() || frame >= kFrames) {
      reply.assign(kFrameBytes + 2, kCardAbsent);
    } else {
      ReadCardFrame(frame, reply);
      const uint8_t checksum = XorAll(reply.data(), kFrameBytes, args[0] ^ args[1]);
      reply.push_back(bad ? static_cast<uint8_t>(~checksum) : checksum);
      reply.push_back(kCardGood);
      if (Spoil(faults_.noisy_data_frame, noisy_data_left_, frame)) reply[17] ^= 0x04;
    }
  } else if (!card_.inserted()) {
    reply = {kCardAbsent};
  } else {
    const uint8_t* data = args.data() + 2;
    const bool matches = XorAll(data, kFrameBytes, args[0] ^ args[1]) == args[2 + kFrameBytes];
    if (matches && !bad) WriteCardFrame(frame, data);
    reply = {matches && !bad ? kCardGood : kCardBadChecksum};
  }
  Reply(std::move(reply), frame);
  return true;
}

bool EmulatedReader::HandleDexDrive() {
  // Resynchronise on the framing; anything before it is line noise.
  while (input_.size() >= 3 && !(input_[0] == kI && input_[1] == kA && input_[2] == kI)) {
    input_.erase(input_.begin());
  }
  if (input_.size() < 4) return false;
  const uint8_t opcode = input_[3];
  std::size_t length = 4;
  switch (opcode) {
    case kDexInit:
      length += kDexInitKeyBytes;
      break;
    case kDexRead:
      length += 2;
      break;
    case kDexWrite:
      length += 4 + kFrameBytes + 1;
      break;
    case kDexLight:
      length += 1;
      break;
    default:
      break;
  }
  if (input_.size() < length) return false;
  std::vector<uint8_t> args(input_.begin() + 4, input_.begin() + static_cast<long>(length));
  input_.erase(input_.begin(), input_.begin() + static_cast<long>(length));

  if (opcode == kDexInit) {
    initialised_ = false;
    Reply({kI, kA, kI, kDexId, 0x00, 'P', 'S', 'X', 0x1D}, EmulatedReaderFaults::NoFrame);
    return true;
  }
  if (opcode == kDexHandshake) {
    initialised_ = true;
    Reply(DexReply(kDexError), EmulatedReaderFaults::NoFrame);
    return true;
  }
  if (!initialised_) {
    Reply(DexReply(kDexNotInitialised), EmulatedReaderFaults::NoFrame);
    return true;
  }
  if (opcode == kDexStatus) {
    Reply(
        card_.inserted() ? std::vector<uint8_t>{kI, kA, kI, kDexCard, 0x00} : DexReply(kDexNoCard),
        EmulatedReaderFaults::NoFrame);
    return true;
  }
  if (opcode != kDexRead && opcode != kDexWrite) {
    Reply(DexReply(kDexError), EmulatedReaderFaults::NoFrame);
    return true;
  }

  // A read names its frame LSB first, a write MSB first.
  const uint8_t msb = opcode == kDexRead ? args[1] : args[0];
  const uint8_t lsb = opcode == kDexRead ? args[0] : args[1];
  const int frame = (msb << 8) | lsb;
  if (frame == faults_.pulled_at_frame) {
    Pull();
    return false;
  }
  const bool bad = Spoil(faults_.bad_checksum_frame, bad_checksum_left_, frame);
  if (!card_.inserted()) {
    Reply(DexReply(kDexNoCard), frame);
    return true;
  }
  if (frame >= kFrames) {
    Reply(DexReply(kDexError), frame);
    return true;
  }
  if (opcode == kDexRead) {
    std::vector<uint8_t> reply = DexReply(kDexData);
    ReadCardFrame(frame, reply);
    const uint8_t checksum = XorAll(reply.data() + 4, kFrameBytes, msb ^ lsb);
    reply.push_back(bad ? static_cast<uint8_t>(checksum ^ 0x01) : checksum);
    if (Spoil(faults_.noisy_data_frame, noisy_data_left_, frame)) reply[4 + 17] ^= 0x04;
    Reply(std::move(reply), frame);
    return true;
  }
  const uint8_t* data = args.data() + 4;
  const bool numbers_agree = args[2] == Mirror(msb) && args[3] == Mirror(lsb);
  const bool sum_agrees = XorAll(args.data(), 4 + kFrameBytes, 0) == args[4 + kFrameBytes];
  if (!numbers_agree || !sum_agrees || bad) {
    Reply(DexReply(kDexError), frame);
    return true;
  }
  std::vector<uint8_t> before;
  ReadCardFrame(frame, before);
  const bool same = std::equal(before.begin(), before.end(), data);
  WriteCardFrame(frame, data);
  Reply(DexReply(same ? kDexWriteSame : kDexWriteOk), frame);
  return true;
}

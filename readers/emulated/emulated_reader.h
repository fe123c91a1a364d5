#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "transport/emulated_card.h"

// A serial card reader's firmware on a pseudo-terminal, answering from an emulated card: the
// program opens device() as it would open /dev/ttyUSB0 and cannot tell the difference. Written
// from the readers' published protocols, independently of the program's own reader code.

enum class ReaderFirmware { Memcarduino, Ps1CardLink, DexDrive };

// Faults to put a run through. A frame of NoFrame means never; times counts the replies spoilt.
struct EmulatedReaderFaults {
  static constexpr int NoFrame = -1;
  int bad_checksum_frame = NoFrame;  // the frame's reply carries a wrong checksum or status
  int bad_checksum_times = 1;
  int noisy_data_frame = NoFrame;  // a data byte of the read reply changes after its checksum
  int noisy_data_times = 1;        // was computed, as line noise would change it
  int silent_frame = NoFrame;      // the reply stops halfway and nothing more comes
  int silent_times = 1;
  int garbage_frame = NoFrame;  // a reply of the right length and meaningless bytes
  int garbage_times = 1;
  int pulled_at_frame = NoFrame;         // the cable comes out as this frame's command arrives
  int reply_delay_ms = 0;                // a slow reader thinks this long before replying
  int slow_frame = NoFrame;              // ... to this frame's commands only; NoFrame: to every one
  int baud = 0;                          // replies are paced at this line rate; 0: at once
  int wrap_after_frames = 0;             // a fake card that has only this many frames and wraps
  int drop_writes_from_frame = NoFrame;  // writes from here on are acknowledged and lost
  int firmware_version = -1;             // what GetVersion answers; -1: the firmware's own
  int pulled_at_bios_part = NoFrame;     // the cable comes out as this BIOS part is asked for
};

// A PocketStation in the Arduino reader's slot instead of a plain card: its frames are the
// emulated card's, and it answers the firmware's PocketStation commands.
struct EmulatedPocketStation {
  uint32_t serial = 0;
  // As the card keeps its clock, in BCD: day, month, year, century, second, minute, hour,
  // weekday.
  std::array<uint8_t, 8> clock{};
  std::vector<uint8_t> bios;  // 16 KiB
};

class EmulatedReader {
 public:
  EmulatedReader(ReaderFirmware firmware, EmulatedCard& card);
  ~EmulatedReader();
  EmulatedReader(const EmulatedReader&) = delete;
  EmulatedReader& operator=(const EmulatedReader&) = delete;

  // The path the program opens, e.g. "/dev/pts/3".
  const std::string& device() const { return device_; }
  // Change only before Start.
  EmulatedReaderFaults& faults() { return faults_; }
  // Change only before Start; read after the program has finished with the reader.
  std::optional<EmulatedPocketStation>& pocketstation() { return pocketstation_; }
  void Start();

  // Every byte the program has sent so far, in order.
  std::vector<uint8_t> Received() const;

 private:
  void Serve();
  // Handles the bytes of input_ from the front; false when a command is not yet complete.
  bool HandleMemcarduino();
  bool HandleDexDrive();
  // The PocketStation commands; false when a command is not yet complete.
  bool HandlePocketStation(uint8_t command);
  void Reply(std::vector<uint8_t> reply, int frame);
  void ReadCardFrame(int frame, std::vector<uint8_t>& data) const;
  void WriteCardFrame(int frame, const uint8_t* data);
  int CardFrame(int frame) const;
  static bool Spoil(int fault_frame, int& times_left, int frame);
  void Pull();

  ReaderFirmware firmware_;
  EmulatedCard& card_;
  EmulatedReaderFaults faults_;
  int bad_checksum_left_ = 0;
  int noisy_data_left_ = 0;
  int silent_left_ = 0;
  int garbage_left_ = 0;
  bool initialised_ = false;  // DexDrive: INIT and the handshake have come
  std::optional<EmulatedPocketStation> pocketstation_;
  bool awaiting_time_ = false;  // the clock command has been answered; its 8 bytes are due

  int master_ = -1;
  int slave_ = -1;  // held open so the terminal stays up between the program's opens
  std::string device_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::vector<uint8_t> input_;
  mutable std::mutex received_mutex_;
  std::vector<uint8_t> received_;
};

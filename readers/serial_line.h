#pragma once

#include <QDeadlineTimer>
#include <QSerialPort>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A serial port as the readers use it: whole commands out in one burst, replies in with a bound
// on the wait, and a device that vanished (cable pulled) told apart from one that kept quiet.
class SerialLine {
 public:
  // Stopped: the wait was given up because the wait check said so.
  enum class Outcome { Done, TimedOut, Gone, Stopped };

  // Asked between short slices of every wait; false stops the wait.
  void SetWaitCheck(std::function<bool()> keep_waiting) { keep_waiting_ = std::move(keep_waiting); }

  // The reason in Portuguese when the port cannot be opened.
  std::optional<std::string> Open(const std::string& port, int baud);
  void Close();

  Outcome Send(std::span<const uint8_t> bytes);
  // Waits up to timeout_ms for count bytes; reply holds what came, also on a timeout.
  Outcome Receive(std::size_t count, int timeout_ms, std::vector<uint8_t>& reply);
  // Drops what arrived unasked, such as the late end of a reply given up on.
  void DiscardInput();

 private:
  bool Gone() const;
  bool KeepWaiting() const;
  // The next slice of a wait that ends at deadline.
  int SliceOf(const QDeadlineTimer& deadline) const;

  QSerialPort port_;
  std::function<bool()> keep_waiting_;
};

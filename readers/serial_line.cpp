#include "readers/serial_line.h"

#include <algorithm>

#include "readers/serial_port_kind.h"

namespace {

// Writing a whole command should take a few milliseconds even at 38400 baud.
constexpr int SendTimeoutMs = 1000;
// The longest a wait goes without asking whether to go on: well inside the 0.2 s in which a
// cancel must be taken.
constexpr qint64 WaitSliceMs = 50;

std::string OpenFailureReason(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::PermissionError:
      return "acesso negado (no Linux, o usuário deve pertencer ao grupo dialout)";
    case QSerialPort::DeviceNotFoundError:
      return "a porta não existe";
    case QSerialPort::OpenError:
      return "a porta já está aberta";
    default:
      return "erro do sistema";
  }
}

}  // namespace

std::optional<std::string> SerialLine::Open(const std::string& port, int baud) {
  port_.setPortName(QString::fromStdString(port));
  if (!port_.open(QIODevice::ReadWrite)) {
    const QSerialPort::SerialPortError error = port_.error();
    port_.clearError();
    if (std::optional<std::string> not_a_port = NotASerialPort(port)) return not_a_port;
    // The port's lock is refused like a permission: with the permission there, it is in use.
    if (error == QSerialPort::PermissionError && MayOpenDevice(port)) {
      return "a porta está em uso por outro programa";
    }
    return OpenFailureReason(error);
  }
  port_.setBaudRate(baud);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  // Some readers draw power from the control lines; a port without them (a pseudo-terminal)
  // refuses, which is harmless.
  port_.setDataTerminalReady(true);
  port_.setRequestToSend(true);
  port_.clearError();
  return std::nullopt;
}

void SerialLine::Close() {
  if (port_.isOpen()) port_.close();
  port_.clearError();
}

bool SerialLine::KeepWaiting() const {
  return !keep_waiting_ || keep_waiting_();
}

int SerialLine::SliceOf(const QDeadlineTimer& deadline) const {
  return static_cast<int>(std::min(deadline.remainingTime(), WaitSliceMs));
}

bool SerialLine::Gone() const {
  return !port_.isOpen() || port_.error() == QSerialPort::ResourceError;
}

SerialLine::Outcome SerialLine::Send(std::span<const uint8_t> bytes) {
  if (Gone()) return Outcome::Gone;
  const auto* data = reinterpret_cast<const char*>(bytes.data());
  if (port_.write(data, static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
    return Outcome::Gone;
  }
  QDeadlineTimer deadline(SendTimeoutMs);
  while (port_.bytesToWrite() > 0) {
    if (!port_.waitForBytesWritten(SliceOf(deadline))) {
      if (Gone()) return Outcome::Gone;
      if (deadline.hasExpired()) return Outcome::TimedOut;
      if (!KeepWaiting()) return Outcome::Stopped;
    }
  }
  return Outcome::Done;
}

SerialLine::Outcome SerialLine::Receive(std::size_t count, int timeout_ms,
                                        std::vector<uint8_t>& reply) {
  reply.clear();
  QDeadlineTimer deadline(timeout_ms);
  while (reply.size() < count) {
    if (port_.bytesAvailable() == 0) {
      if (Gone()) return Outcome::Gone;
      if (deadline.hasExpired()) return Outcome::TimedOut;
      // Asked only after a slice that brought nothing: a reader that answers is never slowed.
      if (!port_.waitForReadyRead(SliceOf(deadline)) && !KeepWaiting()) return Outcome::Stopped;
      continue;
    }
    const QByteArray bytes = port_.read(static_cast<qint64>(count - reply.size()));
    reply.insert(reply.end(), bytes.begin(), bytes.end());
  }
  return Outcome::Done;
}

void SerialLine::DiscardInput() {
  port_.clear(QSerialPort::Input);
  port_.readAll();
}

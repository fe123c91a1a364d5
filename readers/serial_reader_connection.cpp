#include "readers/serial_reader_connection.h"

namespace {

constexpr int LastFrame = static_cast<int>(FrameCount) - 1;

// "/dev/ttyUSB0" as the port lists show it, "ttyUSB0".
std::string PortShown(const std::string& port) {
  constexpr std::string_view DeviceFolder = "/dev/";
  return port.starts_with(DeviceFolder) ? port.substr(DeviceFolder.size()) : port;
}

}  // namespace

SerialReaderConnection::SerialReaderConnection(std::string port, std::string reader_name, int baud)
    : port_(std::move(port)), reader_name_(std::move(reader_name)), baud_(baud) {}

std::optional<ConnectionFailure> SerialReaderConnection::Prepare() {
  line_.SetWaitCheck([this] { return KeepWaiting(); });
  if (auto reason = line_.Open(port_, baud_)) {
    return ConnectionFailure{
        "Não foi possível abrir a porta " + PortShown(port_) + ": " + *reason + ".", "Vexilor"};
  }
  if (!Identify()) {
    return ConnectionFailure{
        "Nenhum leitor " + reader_name_ + " respondeu na porta " + PortShown(port_) + ".",
        "Vexilor"};
  }
  return std::nullopt;
}

void SerialReaderConnection::Release() {
  line_.Close();
}

SerialReaderConnection::Attempt SerialReaderConnection::AttemptOf(SerialLine::Outcome outcome,
                                                                  ReplyCheck check) {
  if (outcome == SerialLine::Outcome::Gone) return Attempt::Gone;
  if (outcome == SerialLine::Outcome::Stopped) return Attempt::Stopped;
  if (outcome == SerialLine::Outcome::TimedOut) return Attempt::Bad;
  switch (check) {
    case ReplyCheck::Good:
      return Attempt::Good;
    case ReplyCheck::NoCard:
      return Attempt::NoCard;
    case ReplyCheck::Bad:
      break;
  }
  return Attempt::Bad;
}

template <typename Try>
FrameResult SerialReaderConnection::Retried(int frame, Try attempt) {
  if (frame < 0 || frame > LastFrame) return FrameResult::Fail();
  for (int tries = 0; tries < FrameAttempts; ++tries) {
    switch (attempt()) {
      case Attempt::Good:
        return FrameResult::Ok();
      case Attempt::NoCard:
        return FrameResult::End({"Nenhum Memory Card no leitor " + reader_name_ + "!", "Erro"});
      case Attempt::Gone:
        return FrameResult::End(
            {"O leitor " + reader_name_ + " foi desconectado da porta " + PortShown(port_) + "!",
             "Erro"});
      case Attempt::Stopped:
        return FrameResult::Fail();  // no more tries: whoever stopped the wait ends the run
      case Attempt::Bad:
        break;
    }
  }
  return FrameResult::Fail();
}

FrameResult SerialReaderConnection::ReadFrame(int frame, std::span<uint8_t, FrameSize> buffer) {
  return Retried(frame, [&] { return TryRead(frame, buffer); });
}

FrameResult SerialReaderConnection::WriteFrame(int frame,
                                               std::span<const uint8_t, FrameSize> data) {
  return Retried(frame, [&] { return TryWrite(frame, data); });
}

#include "readers/ps3_adaptor_connection.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "readers/ps3_adaptor_reader.h"

namespace {

constexpr uint16_t VendorId = 0x054C;
constexpr uint16_t ProductId = 0x02EA;
constexpr int InterfaceNumber = 0;
constexpr uint8_t EndpointOut = 0x02;
constexpr uint8_t EndpointIn = 0x81;

// Adaptor framing: a command to the adaptor starts with 0xAA, its reply with 0x55.
constexpr uint8_t AdaptorCommand = 0xAA;
constexpr uint8_t AdaptorReply = 0x55;
constexpr uint8_t CardTypeQuery = 0x40;
constexpr uint8_t PassThrough = 0x42;
constexpr uint8_t PassedThrough = 0x5A;
constexpr uint8_t AuthenticationFailed = 0xAF;
constexpr uint8_t Ps1Card = 0x01;
constexpr uint8_t Ps2Card = 0x02;
// The adaptor header: command, pass-through, and the length of what follows the 4-byte header.
constexpr size_t HeaderSize = 4;
constexpr size_t CardTypeQuerySize = 2;
constexpr size_t CardTypeReplySize = 2;
// Room for a whole USB packet, so a longer reply than documented is read, not an overflow.
constexpr size_t MaxPacketSize = 64;
// The card's own bytes begin after the header; each reply byte answers the byte sent at the
// same index.
constexpr size_t CardBytes = HeaderSize;

// The card's commands (the same ones the parallel cable sends).
constexpr uint8_t MemoryCardAccess = 0x81;
constexpr uint8_t ReadCommand = 0x52;
constexpr uint8_t WriteCommand = 0x57;
constexpr uint8_t GetIdCommand = 0x53;
constexpr uint8_t CardId1 = 0x5A;
constexpr uint8_t CardId2 = 0x5D;
constexpr uint8_t CommandAck1 = 0x5C;
constexpr uint8_t CommandAck2 = 0x5D;
constexpr uint8_t EndGood = 0x47;

constexpr int LastFrame = static_cast<int>(FrameCount) - 1;

// Read: 0x81 'R' id id msb lsb ack ack msb lsb data[128] chk end.
constexpr size_t ReadPacketSize = CardBytes + 10 + FrameSize + 2;
constexpr size_t ReadIdAt = CardBytes + 2;
constexpr size_t ReadAddressAt = CardBytes + 4;
constexpr size_t ReadAckAt = CardBytes + 6;
constexpr size_t ReadConfirmedAt = CardBytes + 8;
constexpr size_t ReadDataAt = CardBytes + 10;
constexpr size_t ReadChecksumAt = ReadDataAt + FrameSize;
constexpr size_t ReadEndAt = ReadChecksumAt + 1;

// Write: 0x81 'W' id id msb lsb data[128] chk ack ack end.
constexpr size_t WritePacketSize = CardBytes + 6 + FrameSize + 4;
constexpr size_t WriteIdAt = CardBytes + 2;
constexpr size_t WriteAddressAt = CardBytes + 4;
constexpr size_t WriteDataAt = CardBytes + 6;
constexpr size_t WriteChecksumAt = WriteDataAt + FrameSize;
constexpr size_t WriteAckAt = WriteChecksumAt + 1;
constexpr size_t WriteEndAt = WriteAckAt + 2;

// Get ID: 0x81 'S' then eight fillers; only Sony cards answer, so the card's part is not checked.
constexpr size_t GetIdPacketSize = CardBytes + 10;

constexpr const char* PrepareCaption = "Vexilor";
constexpr const char* RunCaption = "Erro";

ConnectionFailure Failure(std::string text, const char* caption) {
  return {std::move(text), caption};
}

std::string PermissionText() {
  return std::string("Sem permissão para usar o Adaptador USB PS3. Instale a regra udev ") +
         Ps3AdaptorUdevRule + " (veja o README), desconecte o adaptador e conecte-o de novo.";
}

const char* const NotFoundText = "Adaptador USB PS3 não encontrado. Conecte-o e tente de novo.";
const char* const BusyText = "O Adaptador USB PS3 está em uso por outro programa.";
const char* const GoneText = "O Adaptador USB PS3 foi desconectado.";
const char* const TimeoutText = "O Adaptador USB PS3 não respondeu a tempo.";
const char* const NoCardText = "Nenhum Memory Card no Adaptador USB PS3.";
const char* const Ps2CardText =
    "Há um Memory Card de PS2 no Adaptador USB PS3. Insira um Memory Card de PS1.";
const char* const AuthenticationText = "Adaptador USB PS3: falha de autenticação.";
const char* const OpenFailedText = "Erro ao abrir o Adaptador USB PS3.";

ConnectionFailure OpenFailure(UsbResult result) {
  switch (result) {
    case UsbResult::NotFound:
      return Failure(NotFoundText, PrepareCaption);
    case UsbResult::AccessDenied:
      return Failure(PermissionText(), PrepareCaption);
    case UsbResult::Busy:
      return Failure(BusyText, PrepareCaption);
    case UsbResult::Gone:
      return Failure(GoneText, PrepareCaption);
    case UsbResult::Timeout:
      return Failure(TimeoutText, PrepareCaption);
    default:
      return Failure(OpenFailedText, PrepareCaption);
  }
}

std::array<uint8_t, HeaderSize> PassThroughHeader(size_t packet_size) {
  const size_t length = packet_size - HeaderSize;
  return {AdaptorCommand, PassThrough, static_cast<uint8_t>(length & 0xFF),
          static_cast<uint8_t>(length >> 8)};
}

template <size_t N>
std::array<uint8_t, N> CardPacket(uint8_t command) {
  std::array<uint8_t, N> packet{};
  std::ranges::copy(PassThroughHeader(N), packet.begin());
  packet[CardBytes] = MemoryCardAccess;
  packet[CardBytes + 1] = command;
  return packet;
}

uint8_t Msb(int frame) {
  return static_cast<uint8_t>((frame >> 8) & 0xFF);
}
uint8_t Lsb(int frame) {
  return static_cast<uint8_t>(frame & 0xFF);
}

uint8_t Checksum(int frame, std::span<const uint8_t> data) {
  uint8_t sum = Msb(frame) ^ Lsb(frame);
  for (uint8_t byte : data) sum ^= byte;
  return sum;
}

bool BytesAre(std::span<const uint8_t> packet, size_t at, uint8_t first, uint8_t second) {
  return packet[at] == first && packet[at + 1] == second;
}

}  // namespace

Ps3AdaptorConnection::Ps3AdaptorConnection(std::unique_ptr<UsbCalls> usb, Ps3AdaptorTiming timing)
    : usb_(std::move(usb)), timing_(timing) {}

bool Ps3AdaptorPresent(UsbCalls& usb) {
  return usb.IsPresent(VendorId, ProductId);
}

std::vector<ReaderEntry> Ps3AdaptorReaders(UsbCalls& usb) {
  if (!Ps3AdaptorPresent(usb)) return {};
  return {Ps3AdaptorReader()};
}

std::optional<ConnectionFailure> Ps3AdaptorConnection::Prepare() {
  Release();
  UsbResult result = usb_->Open(VendorId, ProductId);
  if (result != UsbResult::Ok) return OpenFailure(result);
  open_ = true;
  bool active = false;
  // Platforms without kernel drivers answer NotSupported: nothing to detach there.
  result = usb_->KernelDriverActive(InterfaceNumber, active);
  if (result == UsbResult::Gone) return OpenFailure(result);
  if (result == UsbResult::Ok && active) {
    result = usb_->DetachKernelDriver(InterfaceNumber);
    if (result != UsbResult::Ok) return OpenFailure(result);
    driver_detached_ = true;
  }
  result = usb_->ClaimInterface(InterfaceNumber);
  if (result != UsbResult::Ok) return OpenFailure(result);
  claimed_ = true;
  if (auto failure = CheckCardType()) return failure;
  return CheckPassThrough();
}

void Ps3AdaptorConnection::Release() {
  if (claimed_) usb_->ReleaseInterface(InterfaceNumber);
  if (driver_detached_) usb_->AttachKernelDriver(InterfaceNumber);
  if (open_) usb_->Close();
  claimed_ = driver_detached_ = open_ = false;
}

Ps3AdaptorConnection::Reply Ps3AdaptorConnection::Exchange(std::span<uint8_t> packet) {
  const auto transfer = [&](uint8_t endpoint) {
    int transferred = 0;
    const UsbResult result =
        usb_->BulkTransfer(endpoint, packet, transferred, timing_.transfer_timeout);
    if (result == UsbResult::Gone) return Reply::Gone;
    if (result == UsbResult::Timeout) return Reply::Timeout;
    if (result != UsbResult::Ok) return Reply::Garbled;
    return transferred == static_cast<int>(packet.size()) ? Reply::Good : Reply::Garbled;
  };
  const Reply sent = transfer(EndpointOut);
  if (sent != Reply::Good) return sent;
  // A short or failed reply must not pass for the card's bytes.
  std::ranges::fill(packet, 0xFF);
  const Reply received = transfer(EndpointIn);
  if (received != Reply::Good && received != Reply::Garbled) return received;
  if (packet[0] == AdaptorReply && packet[1] == AuthenticationFailed) return Reply::AuthFailed;
  if (received != Reply::Good || packet[0] != AdaptorReply || packet[1] != PassedThrough) {
    return Reply::Garbled;
  }
  return Reply::Good;
}

std::optional<ConnectionFailure> Ps3AdaptorConnection::CheckCardType() {
  std::array<uint8_t, CardTypeQuerySize> query{AdaptorCommand, CardTypeQuery};
  int transferred = 0;
  UsbResult result = usb_->BulkTransfer(EndpointOut, query, transferred, timing_.transfer_timeout);
  if (result == UsbResult::Ok && transferred != static_cast<int>(query.size())) {
    result = UsbResult::Failed;
  }
  if (result != UsbResult::Ok) return OpenFailure(result);
  std::array<uint8_t, MaxPacketSize> reply{};
  result = usb_->BulkTransfer(EndpointIn, reply, transferred, timing_.transfer_timeout);
  if (result == UsbResult::Gone || result == UsbResult::Timeout) return OpenFailure(result);
  const bool answered = result == UsbResult::Ok &&
                        transferred >= static_cast<int>(CardTypeReplySize) &&
                        reply[0] == AdaptorReply;
  if (answered && reply[1] == Ps1Card) return std::nullopt;
  if (answered && reply[1] == Ps2Card) return Failure(Ps2CardText, PrepareCaption);
  return Failure(NoCardText, PrepareCaption);
}

// The adaptor must let a card command through before the run starts, so an adaptor that refuses
// is reported as such instead of as a failed frame 0.
std::optional<ConnectionFailure> Ps3AdaptorConnection::CheckPassThrough() {
  auto packet = CardPacket<GetIdPacketSize>(GetIdCommand);
  switch (Exchange(packet)) {
    case Reply::Good:
      return std::nullopt;
    case Reply::AuthFailed:
      return Failure(AuthenticationText, PrepareCaption);
    case Reply::Timeout:
      return Failure(TimeoutText, PrepareCaption);
    case Reply::Gone:
      return Failure(GoneText, PrepareCaption);
    case Reply::Garbled:
      break;
  }
  return Failure(OpenFailedText, PrepareCaption);
}

FrameResult Ps3AdaptorConnection::AfterFailedAttempts(Reply last) {
  switch (last) {
    case Reply::Gone:
      return FrameResult::End(Failure(GoneText, RunCaption));
    case Reply::AuthFailed:
      return FrameResult::End(Failure(AuthenticationText, RunCaption));
    case Reply::Timeout:
      return FrameResult::End(Failure(TimeoutText, RunCaption));
    case Reply::Good:
    case Reply::Garbled:
      break;
  }
  // A card pulled out mid-run answers like a garbled frame; the adaptor knows better.
  if (auto failure = CheckCardType()) {
    failure->caption = RunCaption;
    return FrameResult::End(std::move(*failure));
  }
  return FrameResult::Fail();
}

FrameResult Ps3AdaptorConnection::ReadFrame(int frame, std::span<uint8_t, FrameSize> buffer) {
  if (frame < 0 || frame > LastFrame) return FrameResult::Fail();
  Reply last = Reply::Garbled;
  for (int attempt = 0; attempt < Attempts; ++attempt) {
    auto packet = CardPacket<ReadPacketSize>(ReadCommand);
    packet[ReadAddressAt] = Msb(frame);
    packet[ReadAddressAt + 1] = Lsb(frame);
    last = Exchange(packet);
    if (last == Reply::Gone || last == Reply::AuthFailed) break;
    if (last != Reply::Good) continue;
    const auto data = std::span(packet).subspan(ReadDataAt, FrameSize);
    const bool card_ok = BytesAre(packet, ReadIdAt, CardId1, CardId2) &&
                         BytesAre(packet, ReadAckAt, CommandAck1, CommandAck2) &&
                         BytesAre(packet, ReadConfirmedAt, Msb(frame), Lsb(frame)) &&
                         packet[ReadChecksumAt] == Checksum(frame, data) &&
                         packet[ReadEndAt] == EndGood;
    if (card_ok) {
      std::ranges::copy(data, buffer.begin());
      return FrameResult::Ok();
    }
    last = Reply::Garbled;
  }
  return AfterFailedAttempts(last);
}

FrameResult Ps3AdaptorConnection::WriteFrame(int frame, std::span<const uint8_t, FrameSize> data) {
  if (frame < 0 || frame > LastFrame) return FrameResult::Fail();
  Reply last = Reply::Garbled;
  for (int attempt = 0; attempt < Attempts; ++attempt) {
    auto packet = CardPacket<WritePacketSize>(WriteCommand);
    packet[WriteAddressAt] = Msb(frame);
    packet[WriteAddressAt + 1] = Lsb(frame);
    std::ranges::copy(data, packet.begin() + WriteDataAt);
    packet[WriteChecksumAt] = Checksum(frame, data);
    last = Exchange(packet);
    if (last == Reply::Good) {
      usb_->Sleep(timing_.pause_after_write);
      if (BytesAre(packet, WriteIdAt, CardId1, CardId2) &&
          BytesAre(packet, WriteAckAt, CommandAck1, CommandAck2) && packet[WriteEndAt] == EndGood) {
        return FrameResult::Ok();
      }
      last = Reply::Garbled;
    }
    if (last == Reply::Gone || last == Reply::AuthFailed) break;
  }
  return AfterFailedAttempts(last);
}

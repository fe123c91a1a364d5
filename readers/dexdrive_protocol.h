#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "card/card_image.h"
#include "readers/reader_reply.h"

// The serial protocol of the 38400-baud drive: every command and every reply starts with "IAI"
// and an opcode byte. A read names its frame LSB first, a write MSB first.
namespace DexDrive {

inline constexpr std::array<uint8_t, 3> Prefix = {0x49, 0x41, 0x49};  // "IAI"

// Commands.
inline constexpr uint8_t Init = 0x00;
inline constexpr uint8_t ReadFrame = 0x02;   // + LSB, MSB
inline constexpr uint8_t WriteFrame = 0x04;  // + MSB, LSB, rev(MSB), rev(LSB), data, checksum
inline constexpr uint8_t MagicHandshake = 0x27;

// Reply opcodes.
inline constexpr uint8_t NotInitialised = 0x20;
inline constexpr uint8_t NoCard = 0x22;
inline constexpr uint8_t Id = 0x40;
inline constexpr uint8_t Data = 0x41;
inline constexpr uint8_t WriteOk = 0x28;
inline constexpr uint8_t WriteSame = 0x29;  // the frame already held these bytes

// The key the drive's own software sends with INIT.
inline constexpr std::array<uint8_t, 17> InitKey = {0x10, 0x29, 0x23, 0xBE, 0x84, 0xE1,
                                                    0x6C, 0xD6, 0xAE, 0x52, 0x90, 0x49,
                                                    0xF1, 0xF1, 0xBB, 0xE9, 0xEB};

inline constexpr std::size_t HeaderSize = Prefix.size() + 1;
// Header, one unexplained byte, "PSX" or "N64", firmware version.
inline constexpr std::size_t IdReplySize = HeaderSize + 5;
inline constexpr std::size_t ReadReplySize = HeaderSize + FrameSize + 1;
inline constexpr std::size_t WriteReplySize = HeaderSize;

uint8_t ReverseBits(uint8_t byte);

std::vector<uint8_t> InitCommand();
std::vector<uint8_t> HandshakeCommand();
std::vector<uint8_t> ReadCommand(int frame);
std::vector<uint8_t> WriteCommand(int frame, std::span<const uint8_t, FrameSize> data);

// The reply's opcode, or -1 when it does not start with a whole header.
int ReplyOpcode(std::span<const uint8_t> reply);
bool IsPlayStationIdReply(std::span<const uint8_t> reply);
// A good reply fills data; any other leaves it alone.
ReplyCheck CheckReadReply(int frame, std::span<const uint8_t> reply,
                          std::span<uint8_t, FrameSize> data);
ReplyCheck CheckWriteReply(std::span<const uint8_t> reply);

}  // namespace DexDrive

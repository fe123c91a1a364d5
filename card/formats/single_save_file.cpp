#include "single_save_file.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <system_error>

#include "ar_save.h"
#include "card/file_io.h"
#include "card/little_endian.h"
#include "mcs.h"
#include "psv_save.h"
#include "raw_save.h"

namespace {

// Characters that Windows refuses in file names; the others are also fine on every other system.
bool IsFileNameCharacter(char c) {
  return static_cast<unsigned char>(c) >= 0x20 &&
         std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos;
}

std::string CleanFileName(const std::string& name) {
  std::string clean;
  std::ranges::copy_if(name, std::back_inserter(clean), IsFileNameCharacter);
  return clean;
}

}  // namespace

SingleSaveFormat RecogniseSingleSave(std::span<const uint8_t> prefix, std::uintmax_t size) {
  // The headers differ in length, so no file matches two formats' sizes.
  if (LooksLikePsvSave(prefix, size)) return SingleSaveFormat::Psv;
  if (LooksLikeRawSave(prefix, size)) return SingleSaveFormat::RawSave;
  if (LooksLikeActionReplaySave(prefix, size)) return SingleSaveFormat::ActionReplay;
  return SingleSaveFormat::Mcs;
}

std::optional<SaveContents> DecodeSingleSave(std::span<const uint8_t> file, std::uintmax_t size,
                                             const std::string& path,
                                             const std::optional<std::string>& raw_name) {
  switch (RecogniseSingleSave(file, size)) {
    case SingleSaveFormat::Psv:
      return DecodePsvSave(file, size, path);
    case SingleSaveFormat::RawSave:
      return DecodeRawSave(file, size, path, raw_name);
    case SingleSaveFormat::ActionReplay:
      return DecodeActionReplaySave(file, size, path);
    case SingleSaveFormat::Mcs:
      break;
  }
  return DecodeMcs(file, size, path);
}

std::vector<uint8_t> EncodeSingleSave(const SaveContents& save, SingleSaveFormat format) {
  switch (format) {
    case SingleSaveFormat::RawSave:
      return EncodeRawSave(save);
    case SingleSaveFormat::ActionReplay:
      return EncodeActionReplaySave(save);
    case SingleSaveFormat::Psv:
      return EncodePsvSave(save);
    case SingleSaveFormat::Mcs:
      break;
  }
  return EncodeMcs(save);
}

std::string ProposedSingleSaveFileName(const Frame& frame, SingleSaveFormat format) {
  switch (format) {
    case SingleSaveFormat::RawSave:
      return CleanFileName(DirectoryName(frame));
    case SingleSaveFormat::ActionReplay:
      return CleanFileName(DirectoryName(frame)) + ".psx";
    case SingleSaveFormat::Psv:
      return CleanFileName(PsvFileStem(frame)) + ".PSV";
    case SingleSaveFormat::Mcs:
      break;
  }
  return CleanFileName(DirectoryName(frame)) + ".mcs";
}

std::span<const uint8_t> DirectoryNameBytes(std::span<const uint8_t, FrameSize> frame) {
  return frame.subspan(DirectoryFrame::NameOffset, DirectoryFrame::NameLength);
}

std::string DirectoryName(std::span<const uint8_t, FrameSize> frame) {
  std::string name;
  std::ranges::copy_if(DirectoryNameBytes(frame), std::back_inserter(name),
                       [](uint8_t byte) { return byte != 0; });
  return name;
}

Frame FirstFrameNamed(std::span<const uint8_t> name, int block_count) {
  Frame frame{};
  SetDirectoryState(frame, BlockState::InUseFirst);
  WriteLe32(frame, DirectoryFrame::SizeOffset, static_cast<uint32_t>(block_count) * BlockSize);
  WriteLe16(frame, DirectoryFrame::LinkOffset, NoLink);
  std::copy_n(name.begin(), std::min(name.size(), DirectoryFrame::NameLength),
              frame.begin() + DirectoryFrame::NameOffset);
  frame[DirectoryFrame::XorOffset] = XorOf(std::span(frame).first(DirectoryFrame::XorOffset));
  return frame;
}

std::vector<uint8_t> BlocksOf(std::span<const uint8_t> file, std::size_t offset, int block_count,
                              const std::string& path) {
  const std::size_t length = static_cast<std::size_t>(block_count) * BlockSize;
  if (file.size() < offset + length) {
    throw FileError(path, std::make_error_code(std::errc::io_error));
  }
  auto blocks = file.subspan(offset, length);
  return std::vector<uint8_t>(blocks.begin(), blocks.end());
}

bool HasTitleMagicAt(std::span<const uint8_t> bytes, std::size_t offset) {
  return bytes.size() >= offset + 2 &&
         IsTitleMagic(ReadLe16(bytes, offset + TitleFrame::MagicOffset));
}

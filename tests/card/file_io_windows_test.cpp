// The file writer on Windows: the replace-a-file semantics the Linux tests cannot reach.

#include <gtest/gtest.h>
#include <windows.h>

#include "card/file_io.h"
#include "support/temp_folder.h"

using namespace test_support;

namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kOld(5000, 0x11);
const std::vector<uint8_t> kNew(9000, 0x22);

std::error_code WriteFailure(const std::string& path) {
  try {
    WriteFileAtomically(path, kNew);
  } catch (const FileError& error) {
    return error.reason();
  }
  return {};
}

std::ptrdiff_t FilesIn(const fs::path& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

TEST(WindowsFileWrite, ReplacesTheFileWithNothingLeftBeside) {
  TempFolder folder;
  const std::string path = folder.File("cartão.mc");
  WriteBytes(path, kOld);
  WriteFileAtomically(path, kNew);
  EXPECT_EQ(ReadBytes(path), kNew);
  WriteFileAtomically(folder.File("novo.mc"), kOld);
  EXPECT_EQ(ReadBytes(folder.File("novo.mc")), kOld);
  EXPECT_EQ(FilesIn(folder.path()), 2);
}

// A read-only file, and one another program holds open without sharing, keep their bytes; the
// failure names the reason and no temporary file stays behind.
TEST(WindowsFileWrite, FilesThatCannotBeReplacedKeepTheirBytes) {
  TempFolder folder;
  const std::string read_only = folder.File("protegido.mc");
  WriteBytes(read_only, kOld);
  ASSERT_TRUE(::SetFileAttributesW(PathFromText(read_only).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(WriteFailure(read_only), std::errc::permission_denied);
  EXPECT_EQ(ReadBytes(read_only), kOld);
  ::SetFileAttributesW(PathFromText(read_only).c_str(), FILE_ATTRIBUTE_NORMAL);

  const std::string held = folder.File("aberto.mc");
  WriteBytes(held, kOld);
  HANDLE holder = ::CreateFileW(PathFromText(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(WriteFailure(held));
  ::CloseHandle(holder);
  EXPECT_EQ(ReadBytes(held), kOld);
  EXPECT_EQ(FilesIn(folder.path()), 2);
}

TEST(WindowsFileWrite, HardLinksStayOneFile) {
  TempFolder folder;
  WriteBytes(folder.File("a.mc"), kOld);
  ASSERT_TRUE(::CreateHardLinkW(PathFromText(folder.File("b.mc")).c_str(),
                                PathFromText(folder.File("a.mc")).c_str(), nullptr));
  WriteFileAtomically(folder.File("a.mc"), kNew);
  EXPECT_EQ(ReadBytes(folder.File("b.mc")), kNew);
}

}  // namespace

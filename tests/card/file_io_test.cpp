#include "card/file_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "support/temp_folder.h"

using namespace test_support;

namespace {

const std::vector<uint8_t> kOld(5000, 0x11);
const std::vector<uint8_t> kNew(9000, 0x22);

std::size_t FilesIn(const std::filesystem::path& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                std::filesystem::directory_iterator()));
}

template <typename Operation>
std::error_code FileErrorOf(Operation operation, const std::string& expected_path) {
  try {
    operation();
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), expected_path);
    EXPECT_NE(std::string(error.what()).find(expected_path), std::string::npos);
    return error.reason();
  }
  ADD_FAILURE() << "no FileError";
  return {};
}

TEST(WriteFileAtomically, ReplacesTheWholeFileAndKeepsItsPermissions) {
  TempFolder folder;
  std::string path = folder.File("cartão ç.mc");  // UTF-8 names reach the file system intact
  WriteBytes(path, kOld);
  std::filesystem::permissions(PathFromText(path), std::filesystem::perms(0640));
  WriteFileAtomically(path, kNew);
  EXPECT_EQ(ReadBytes(path), kNew);
  EXPECT_EQ(std::filesystem::status(PathFromText(path)).permissions(),
            std::filesystem::perms(0640));
  EXPECT_EQ(FilesIn(folder.path()), 1u);
}

TEST(WriteFileAtomically, WritesThroughALinkAndKeepsIt) {
  TempFolder folder;
  WriteBytes(folder.File("real.mc"), kOld);
  std::filesystem::create_symlink("real.mc", folder.path() / "link.mc");
  WriteFileAtomically(folder.File("link.mc"), kNew);
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / "link.mc"));
  EXPECT_EQ(ReadBytes(folder.File("real.mc")), kNew);
}

TEST(WriteFileAtomically, FailuresCarryPathAndReasonAndLeaveNothingBehind) {
  TempFolder folder;
  WriteBytes(folder.File("plain"), kOld);
  std::string under_a_file = folder.File("plain") + "/card.mc";
  EXPECT_EQ(FileErrorOf([&] { WriteFileAtomically(under_a_file, kNew); }, under_a_file),
            std::errc::not_a_directory);

  std::filesystem::create_directory(folder.path() / "folder.mc");
  std::string folder_path = folder.File("folder.mc");
  EXPECT_EQ(FileErrorOf([&] { WriteFileAtomically(folder_path, kNew); }, folder_path),
            std::errc::is_a_directory);
  EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "folder.mc"));
  EXPECT_EQ(ReadBytes(folder.File("plain")), kOld);
  EXPECT_EQ(FilesIn(folder.path()), 2u);
}

// A write cut short by the file-size limit, which binds root too, stands for a full disk.
TEST(WriteFileAtomically, AFailedWriteKeepsTheOldFile) {
  TempFolder folder;
  std::string path = folder.File("card.mc");
  WriteBytes(path, kOld);
  rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previous_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  std::error_code reason = FileErrorOf([&] { WriteFileAtomically(path, kNew); }, path);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous_handler);
  EXPECT_EQ(reason, std::errc::file_too_large);
  EXPECT_EQ(ReadBytes(path), kOld);
  EXPECT_EQ(FilesIn(folder.path()), 1u);
}

TEST(FileReading, ReadsAtMostThePrefixAndReportsMissingFiles) {
  TempFolder folder;
  std::string path = folder.File("data");
  WriteBytes(path, kNew);
  EXPECT_EQ(ReadFilePrefix(path, 10), std::vector<uint8_t>(10, 0x22));
  EXPECT_EQ(ReadFilePrefix(path, 100000).size(), kNew.size());
  EXPECT_EQ(FileSizeOf(path), kNew.size());
  EXPECT_TRUE(RegularFileExists(path));
  EXPECT_FALSE(RegularFileExists(folder.File("")));

  std::string missing = folder.File("missing");
  EXPECT_FALSE(RegularFileExists(missing));
  EXPECT_EQ(FileErrorOf([&] { ReadFilePrefix(missing, 1); }, missing),
            std::errc::no_such_file_or_directory);
  EXPECT_EQ(FileErrorOf([&] { FileSizeOf(missing); }, missing),
            std::errc::no_such_file_or_directory);
}

}  // namespace

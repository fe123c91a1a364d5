#include "card/file_io.h"

#include <gtest/gtest.h>

#include "file_error_of.h"
#include "support/temp_folder.h"

using namespace test_support;

namespace {

const std::vector<uint8_t> kOld(5000, 0x11);
const std::vector<uint8_t> kNew(9000, 0x22);

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

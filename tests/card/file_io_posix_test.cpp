// The file writer against what Linux can put at a path: links, devices, FIFOs, sockets, hard
// links, foreign owners, folders that take no new file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <set>

#include "card/error_reason_text.h"
#include "card/file_checks.h"
#include "card/file_io.h"
#include "file_error_of.h"
#include "support/temp_folder.h"

using namespace test_support;

namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kOld(5000, 0x11);
const std::vector<uint8_t> kNew(9000, 0x22);
constexpr uid_t kNobody = 65534;
constexpr gid_t kDaemonGroup = 1;

struct stat StatusOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status;
}

std::error_code WriteFailure(const std::string& path, bool* partly_written = nullptr) {
  try {
    WriteFileAtomically(path, kNew);
  } catch (const FileError& error) {
    if (partly_written) *partly_written = error.partly_written();
    return error.reason();
  }
  return {};
}

// Runs work as the unprivileged user nobody (a forked child gives up root's rights) and returns
// its result; 2 when the child could not become nobody.
int RunAsNobody(const std::function<int()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(2);
    ::_exit(work());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// 0 written, 1 FileError.
int WriteAsNobody(const std::string& path) {
  return RunAsNobody([&] { return WriteFailure(path) ? 1 : 0; });
}

std::size_t FilesIn(const std::filesystem::path& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                std::filesystem::directory_iterator()));
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

TEST(WriteFileTarget, ThingsThatAreNotFilesAreRefusedAndLeftAsTheyAre) {
  TempFolder folder;
  const std::string fifo = folder.File("fifo.mc");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const std::string socket_path = folder.File("socket.mc");
  const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socket_path.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::string link_to_null = folder.File("null.mc");
  fs::create_symlink("/dev/null", link_to_null);

  const struct {
    std::string path;
    mode_t type;
  } kCases[] = {
      {fifo, S_IFIFO}, {socket_path, S_IFSOCK}, {"/dev/null", S_IFCHR}, {link_to_null, S_IFLNK}};
  for (const auto& target : kCases) {
    SCOPED_TRACE(target.path);
    EXPECT_EQ(WriteFailure(target.path), make_error_code(FileRefusal::NotARegularFile));
    EXPECT_EQ(StatusOf(target.path).st_mode & S_IFMT, target.type);
  }
  EXPECT_EQ(StatusOf("/dev/null").st_rdev, makedev(1, 3));
  ::close(socket);
}

TEST(WriteFileTarget, ADanglingLinkGetsItsFileCreated) {
  TempFolder folder;
  fs::create_directory(folder.path() / "saves");
  fs::create_symlink("saves/new.mc", folder.path() / "link.mc");
  WriteFileAtomically(folder.File("link.mc"), kNew);
  EXPECT_TRUE(fs::is_symlink(folder.path() / "link.mc"));
  EXPECT_EQ(ReadBytes(folder.File("saves/new.mc")), kNew);
}

TEST(WriteFileTarget, HardLinksStayOneFile) {
  TempFolder folder;
  WriteBytes(folder.File("a.mc"), kOld);
  fs::create_hard_link(folder.path() / "a.mc", folder.path() / "b.mc");
  WriteFileAtomically(folder.File("a.mc"), kNew);
  EXPECT_EQ(ReadBytes(folder.File("b.mc")), kNew);
  EXPECT_EQ(StatusOf(folder.File("a.mc")).st_nlink, 2u);
}

// The write under a file-size limit, which binds root too and stands for a full disk.
std::error_code WriteFailureWithSizeLimit(const std::string& path, rlim_t limit,
                                          bool* partly_written = nullptr) {
  rlimit saved;
  EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = limit;
  EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const std::error_code reason = WriteFailure(path, partly_written);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous_handler);
  return reason;
}

TEST(WriteFileTarget, AFailedWriteKeepsTheOldFile) {
  TempFolder folder;
  std::string path = folder.File("card.mc");
  WriteBytes(path, kOld);
  const std::error_code reason = WriteFailureWithSizeLimit(path, 4096);
  EXPECT_EQ(reason, std::errc::file_too_large);
  EXPECT_EQ(ReadBytes(path), kOld);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

// A file growing in place past the size limit (which binds root too) fails before any byte of it
// is overwritten.
TEST(WriteFileTarget, AnInPlaceWriteWithoutRoomKeepsTheOldBytes) {
  TempFolder folder;
  WriteBytes(folder.File("a.mc"), kOld);
  fs::create_hard_link(folder.path() / "a.mc", folder.path() / "b.mc");
  bool partly_written = true;
  const std::error_code reason =
      WriteFailureWithSizeLimit(folder.File("a.mc"), 8192, &partly_written);
  EXPECT_EQ(reason, std::errc::file_too_large);
  EXPECT_FALSE(partly_written);
  EXPECT_EQ(ReadBytes(folder.File("b.mc")), kOld);
}

TEST(WriteFileTarget, ANameOfTheLongestLengthIsSavedWithNothingLeftBeside) {
  TempFolder folder;
  const std::string path = folder.File(std::string(251, 'n') + ".mc");
  WriteBytes(path, kOld);
  WriteFileAtomically(path, kNew);
  EXPECT_EQ(ReadBytes(path), kNew);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// A run killed between naming its temporary and renaming it leaves the temporary behind; the next
// write in that folder removes such leftovers and nothing else: not a live run's temporary (it
// holds its lock), a link, or a name outside the exact pattern.
TEST(WriteFileAtomically, KillsNeverTearTheFileAndTheirLeftoversAreRemoved) {
  TempFolder folder;
  const std::string card = folder.File("c.mc");
  WriteBytes(card, kOld);
  for (int kill = 0; kill < 60; ++kill) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (bool next = true;; next = !next) WriteFileAtomically(card, next ? kNew : kOld);
    }
    ::usleep(static_cast<useconds_t>(500 + kill * 97 % 3000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::vector<uint8_t> content = ReadBytes(card);
    ASSERT_TRUE(content == kOld || content == kNew) << "torn by kill " << kill;
  }
  const std::set<std::string> kept = {"c.mc",
                                      ".vexilor-00000000000000bb.tmp",
                                      ".vexilor-00000000000000cc.tmp",
                                      "alvo",
                                      ".vexilor-00000000000000AA.tmp",
                                      ".vexilor-0000000000000aa.tmp",
                                      ".vexilor-00000000000000aa.tmpx"};
  for (const std::string& name : kept) WriteBytes(folder.File(name), kOld);
  WriteBytes(folder.File(".vexilor-00000000000000aa.tmp"), kOld);
  fs::remove(folder.path() / ".vexilor-00000000000000cc.tmp");
  fs::create_symlink("alvo", folder.path() / ".vexilor-00000000000000cc.tmp");
  const int live = ::open(folder.File(".vexilor-00000000000000bb.tmp").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(live, LOCK_EX), 0);

  WriteFileAtomically(card, kNew);
  ::close(live);
  EXPECT_EQ(NamesIn(folder.path()), kept);
}

class WriteFileOwnership : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files to other users";
    fs::permissions(folder.path(), fs::perms(0755));
  }
  std::string FileOf(const std::string& name, uid_t owner, gid_t group, mode_t mode) {
    const std::string path = folder.File(name);
    WriteBytes(path, kOld);
    EXPECT_EQ(::chown(path.c_str(), owner, group), 0);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
  }
  TempFolder folder;
};

TEST_F(WriteFileOwnership, AnotherUsersLeftoverTemporaryIsKept) {
  const std::string foreign = FileOf(".vexilor-00000000000000aa.tmp", kNobody, kNobody, 0644);
  WriteFileAtomically(folder.File("c.mc"), kNew);
  EXPECT_TRUE(fs::exists(foreign));
}

TEST_F(WriteFileOwnership, AReplacedFileKeepsItsOwnerAndGroup) {
  const std::string path = FileOf("card.mc", kNobody, kDaemonGroup, 0664);
  WriteFileAtomically(path, kNew);
  const struct stat status = StatusOf(path);
  EXPECT_EQ(status.st_uid, kNobody);
  EXPECT_EQ(status.st_gid, kDaemonGroup);
  EXPECT_EQ(status.st_mode & 07777, 0664u);
  EXPECT_EQ(ReadBytes(path), kNew);
}

// nobody may write the file but not create one beside it, nor give a new file the daemon group:
// both are written in place, and the file stays as it was apart from its bytes.
TEST_F(WriteFileOwnership, WhatCannotBeReplacedIsWrittenInPlace) {
  const std::string in_locked_folder = FileOf("locked.mc", kNobody, kNobody, 0644);
  ASSERT_EQ(WriteAsNobody(in_locked_folder), 0);
  EXPECT_EQ(ReadBytes(in_locked_folder), kNew);

  fs::create_directory(folder.path() / "open");
  fs::permissions(folder.path() / "open", fs::perms(0777));
  const std::string foreign_group = FileOf("open/group.mc", kNobody, kDaemonGroup, 0664);
  ASSERT_EQ(WriteAsNobody(foreign_group), 0);
  EXPECT_EQ(ReadBytes(foreign_group), kNew);
  EXPECT_EQ(StatusOf(foreign_group).st_gid, kDaemonGroup);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path() / "open"), fs::directory_iterator()),
            1);

  // A file nobody may not write is refused, not replaced: root's, and nobody's own read-only one.
  const std::string read_only = FileOf("open/read-only.mc", 0, 0, 0644);
  EXPECT_EQ(WriteAsNobody(read_only), 1);
  EXPECT_EQ(ReadBytes(read_only), kOld);
  const std::string own_read_only = FileOf("open/own-read-only.mc", kNobody, kNobody, 0444);
  EXPECT_EQ(WriteAsNobody(own_read_only), 1);
  EXPECT_EQ(ReadBytes(own_read_only), kOld);
}

// A file in a folder nobody may enter is not reported missing: the reason is the permission.
TEST_F(WriteFileOwnership, AFileBehindAClosedFolderIsNotMissing) {
  fs::create_directory(folder.path() / "fechada");
  const std::string path = FileOf("fechada/card.mc", 0, 0, 0644);
  fs::permissions(folder.path() / "fechada", fs::perms(0700));
  const int outcome = RunAsNobody([&] {
    try {
      return RequireExistingFile(path) ? 3 : 4;
    } catch (const FileError& error) {
      return error.reason() == std::errc::permission_denied ? 0 : 5;
    }
  });
  EXPECT_EQ(outcome, 0);
}

TEST(ErrorReasonText, CommonCodesInPortugueseTheRestByNumber) {
  const struct {
    std::error_code code;
    const char* text;
  } kCases[] = {
      {std::make_error_code(std::errc::no_such_file_or_directory),
       "o arquivo ou a pasta não existe"},
      {std::make_error_code(std::errc::permission_denied), "permissão negada"},
      {std::make_error_code(std::errc::read_only_file_system),
       "o disco está protegido contra gravação"},
      {std::make_error_code(std::errc::no_space_on_device), "não há espaço livre no disco"},
      {std::make_error_code(std::errc::device_or_resource_busy),
       "o arquivo ou o dispositivo está em uso"},
      {std::make_error_code(std::errc::is_a_directory),
       "o caminho indica uma pasta, não um arquivo"},
      {std::make_error_code(std::errc::filename_too_long), "o nome do arquivo é longo demais"},
      {std::make_error_code(std::errc::no_such_device), "o dispositivo não está disponível"},
      {std::error_code(ENOENT, std::system_category()), "o arquivo ou a pasta não existe"},
      {std::error_code(EPROTO, std::generic_category()), "erro do sistema 71"},
  };
  for (const auto& reason : kCases) EXPECT_EQ(ErrorReasonText(reason.code), reason.text);
  EXPECT_EQ(FileFailureReason(FileError("c.mc", std::make_error_code(std::errc::io_error), true)),
            "erro de leitura ou gravação no dispositivo; o arquivo pode ter ficado incompleto");
}

}  // namespace

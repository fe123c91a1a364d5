#include "transport/ppdev_port_access.h"

#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "support/temp_folder.h"
#include "transport/blocking_call_timeout.h"

namespace {

namespace fs = std::filesystem;

class PpdevTest : public ::testing::Test {
 protected:
  PpdevTest() {
    roots.proc = (folder.path() / "proc").string();
    roots.dev = (folder.path() / "dev").string();
    fs::create_directories(folder.path() / "proc/sys/dev/parport/default");
    fs::create_directories(roots.dev);
  }

  // What the kernel shows: the base address and the high base, in decimal.
  void ListPort(const std::string& name, const std::string& base_addr) {
    const fs::path port = folder.path() / "proc/sys/dev/parport" / name;
    fs::create_directories(port);
    std::ofstream(port / "base-addr") << base_addr;
  }

  std::string Device(const std::string& name) const {
    return (fs::path(roots.dev) / name).string();
  }

  test_support::TempFolder folder;
  PpdevRoots roots;
};

TEST_F(PpdevTest, ChoosesTheDeviceListedAtTheBaseAddress) {
  ListPort("parport0", "632\t1656\n");
  ListPort("parport1", "888\t1912\n");
  ListPort("parport3", "not a number\n");
  EXPECT_EQ(FindParportDevice(roots, Lpt1Base), Device("parport1"));
  EXPECT_EQ(FindParportDevice(roots, Lpt2Base), Device("parport0"));
  // 956 is not listed: the third port by position.
  EXPECT_EQ(FindParportDevice(roots, Lpt3Base), Device("parport2"));
}

TEST_F(PpdevTest, FallsBackToThePortsPositionWithoutAListing) {
  fs::remove_all(folder.path() / "proc");
  EXPECT_EQ(FindParportDevice(roots, Lpt1Base), Device("parport0"));
  EXPECT_EQ(FindParportDevice(roots, Lpt2Base), Device("parport1"));
  EXPECT_EQ(FindParportDevice(roots, Lpt3Base), Device("parport2"));
}

TEST_F(PpdevTest, AMissingDeviceIsNamedWithItsReason) {
  ListPort("parport0", "888\t1912\n");
  PpdevPortAccess access(roots);
  const auto failure = access.Prepare(Lpt1Base);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->caption, "Vexilor");
  EXPECT_NE(failure->text.find(Device("parport0")), std::string::npos) << failure->text;
  EXPECT_NE(failure->text.find("(o arquivo ou a pasta não existe)"), std::string::npos);
  EXPECT_NE(failure->text.find("não encontrada"), std::string::npos) << failure->text;
  access.Release();
  access.Release();
  EXPECT_EQ(PortIn(Lpt1Base + 1), 0);  // nothing was left installed
}

TEST_F(PpdevTest, AFileThatIsNotAPortCannotBeClaimed) {
  std::ofstream(Device("parport0")) << "not a device";
  PpdevPortAccess access(roots);
  const auto failure = access.Prepare(Lpt1Base);
  ASSERT_TRUE(failure.has_value());
  EXPECT_NE(failure->text.find("reservar a porta paralela " + Device("parport0")),
            std::string::npos)
      << failure->text;
  EXPECT_NE(failure->text.find("(o dispositivo não aceita esta operação)"), std::string::npos)
      << failure->text;
}

TEST_F(PpdevTest, APermissionErrorNamesTheGroupToJoin) {
  const std::string text = DeviceOpenFailureText("/dev/parport0", EACCES, "lp");
  EXPECT_EQ(text,
            "Sem permissão para abrir a porta paralela /dev/parport0 (permissão negada). O "
            "usuário precisa pertencer ao grupo \"lp\" do dispositivo.");
  EXPECT_NE(DeviceOpenFailureText("/dev/parport1", EBUSY, "lp").find("/dev/parport1"),
            std::string::npos);
}

// The three registers at base, base + 1 and base + 2 reach the kernel as these requests; the
// status register cannot be written.
TEST_F(PpdevTest, RegistersMapToTheirDeviceRequests) {
  ListPort("parport0", "632\t1656\n");  // 0x278, LPT2
  std::ofstream(Device("parport0")) << "";
  struct Call {
    unsigned long request;
    int written;  // -1: a read
  };
  std::vector<Call> calls;
  auto recorder = [&calls](int, unsigned long request, unsigned char* byte) {
    const bool reading = request == PPRDATA || request == PPRSTATUS || request == PPRCONTROL;
    calls.push_back({request, byte == nullptr || reading ? -1 : *byte});
    if (byte != nullptr && reading) *byte = static_cast<unsigned char>(request & 0xFF);
    return 0;
  };
  PpdevPortAccess access(roots, recorder);
  ASSERT_FALSE(access.Prepare(0x278).has_value());
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].request, static_cast<unsigned long>(PPCLAIM));

  const struct {
    uint16_t port;
    int value;  // -1: read
    unsigned long request;
  } kCases[] = {
      {0x278, 0x5A, PPWDATA}, {0x27A, 0x0C, PPWCONTROL}, {0x278, -1, PPRDATA},
      {0x279, -1, PPRSTATUS}, {0x27A, -1, PPRCONTROL},
  };
  for (const auto& access_case : kCases) {
    calls.clear();
    SCOPED_TRACE(access_case.port);
    if (access_case.value >= 0) {
      PortOut(access_case.port, static_cast<uint8_t>(access_case.value));
    } else {
      EXPECT_EQ(PortIn(access_case.port), access_case.request & 0xFF);
    }
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].request, access_case.request);
    EXPECT_EQ(calls[0].written, access_case.value);
  }
  calls.clear();
  PortOut(0x279, 0xFF);
  EXPECT_TRUE(calls.empty());
  access.Release();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].request, static_cast<unsigned long>(PPRELEASE));
}

// Prepares the port as an unprivileged user: as root, in a child that gives up its rights.
std::string PrepareFailureTextAsUser(const PpdevRoots& roots) {
  if (::geteuid() != 0) {
    PpdevPortAccess access(roots);
    const auto failure = access.Prepare(Lpt1Base);
    return failure ? failure->text : std::string();
  }
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return "pipe failed";
  const pid_t child = ::fork();
  if (child == 0) {
    constexpr uid_t Nobody = 65534;
    std::string text = "could not drop privileges";
    if (::setgid(Nobody) == 0 && ::setuid(Nobody) == 0) {
      PpdevPortAccess access(roots);
      const auto failure = access.Prepare(Lpt1Base);
      text = failure ? failure->text : std::string();
    }
    const ssize_t written = ::write(pipe_ends[1], text.data(), text.size());
    ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  ::close(pipe_ends[1]);
  std::string text;
  char chunk[256];
  for (ssize_t n; (n = ::read(pipe_ends[0], chunk, sizeof chunk)) > 0;) text.append(chunk, n);
  ::close(pipe_ends[0]);
  ::waitpid(child, nullptr, 0);
  return text;
}

TEST_F(PpdevTest, AnUnreadableDeviceIsReportedAsAPermissionError) {
  std::ofstream(Device("parport0")) << "";
  fs::permissions(folder.path(),
                  fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(roots.dev,
                  fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(Device("parport0"), fs::perms::owner_read | fs::perms::owner_write);
  const std::string text = PrepareFailureTextAsUser(roots);
  EXPECT_NE(text.find("Sem permissão para abrir a porta paralela " + Device("parport0")),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("pertencer ao grupo"), std::string::npos) << text;
}

// The port claim waits while another program holds the port; a pipe with nothing in it stands
// for such a port here.
TEST(BlockingCallTimeoutTest, InterruptsACallStillBlockedAndLeavesNoTrace) {
  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  struct sigaction before {};
  ::sigaction(SIGALRM, nullptr, &before);
  char byte = 0;
  ssize_t result = 0;
  int error = 0;
  {
    BlockingCallTimeout timeout(std::chrono::milliseconds(50));
    result = ::read(pipe_ends[0], &byte, 1);
    error = errno;
  }
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error, EINTR);

  // A call that returns in time is left alone, and no signal arrives after the object is gone.
  {
    BlockingCallTimeout timeout(std::chrono::milliseconds(20));
    ASSERT_EQ(::write(pipe_ends[1], "x", 1), 1);
    EXPECT_EQ(::read(pipe_ends[0], &byte, 1), 1);
  }
  ::usleep(60 * 1000);
  struct sigaction after {};
  ::sigaction(SIGALRM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
  ::close(pipe_ends[0]);
  ::close(pipe_ends[1]);
}

}  // namespace

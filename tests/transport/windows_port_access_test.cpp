#include "transport/windows_port_access.h"

#include <gtest/gtest.h>

#include "fake_win32_services.h"
#include "transport/card_link.h"
#include "transport/emulated_card.h"
#include "transport/frame_commands.h"
#include "transport/recording_port.h"

namespace {

using Service = FakeWin32Services::ServiceState;

class WindowsPortAccessTest : public ::testing::Test {
 protected:
  WindowsPortAccessTest() { PortLatch = 0xFF; }
  ~WindowsPortAccessTest() override { DirectPortIO = false; }

  WindowsPortAccess MakeAccess() {
    return WindowsPortAccess(api, direct_port, [this](const std::string& path) {
      checked_paths.push_back(path);
      return driver_file_present;
    });
  }

  FakeWin32Services api;
  EmulatedCard direct_port;
  bool driver_file_present = true;
  std::vector<std::string> checked_paths;
};

TEST_F(WindowsPortAccessTest, TheDirectPathNeverContactsTheDriver) {
  DirectPortIO = true;
  direct_port.image()[5 * FrameSize] = 0x42;
  {
    WindowsPortAccess access = MakeAccess();
    EXPECT_EQ(access.Prepare(Lpt1Base), std::nullopt);
    Frame buffer{};
    EXPECT_TRUE(ReadFrame(Lpt1Base, 1, 5, buffer));
    EXPECT_EQ(buffer[0], 0x42);
    access.Release();
  }
  EXPECT_TRUE(api.calls.empty());
  EXPECT_EQ(api.port_requests, 0u);
  EXPECT_TRUE(checked_paths.empty());
}

TEST_F(WindowsPortAccessTest, AMissingDriverFileStopsBeforeTheServiceManager) {
  driver_file_present = false;
  WindowsPortAccess access = MakeAccess();
  const auto failure = access.Prepare(Lpt1Base);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->text, "Arquivo SMPORT.SYS não encontrado no sistema!");
  EXPECT_EQ(failure->caption, "Vexilor");
  EXPECT_EQ(checked_paths, (std::vector<std::string>{"C:\\WINDOWS\\system32\\Smport.sys"}));
  access.Release();
  EXPECT_TRUE(api.calls.empty());
}

TEST_F(WindowsPortAccessTest, ADriverThatWillNotOpenIsClosedOnRelease) {
  api.failures["CreateFileA"] = win32::ErrorFileNotFound;
  WindowsPortAccess access = MakeAccess();
  const auto failure = access.Prepare(Lpt1Base);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->text, "Erro ao inicializar driver SMPORT.SYS");
  EXPECT_EQ(failure->caption, "Vexilor");
  EXPECT_EQ(api.service, Service::Running);
  access.Release();
  EXPECT_EQ(api.service, Service::Absent);
  EXPECT_EQ(api.OpenHandleCount(), 0u);
}

TEST_F(WindowsPortAccessTest, FramesGoThroughTheDriverWhileItIsHeld) {
  EmulatedCard card;
  api.port = &card;
  card.image()[9 * FrameSize + 127] = 0x99;
  WindowsPortAccess access = MakeAccess();
  ASSERT_EQ(access.Prepare(Lpt1Base), std::nullopt);
  EXPECT_TRUE(access.driver().DeviceOpen());

  Frame buffer{};
  ASSERT_TRUE(ReadFrame(Lpt1Base, 1, 9, buffer));
  EXPECT_EQ(buffer[127], 0x99);
  buffer.fill(0x17);
  ASSERT_TRUE(WriteFrame(Lpt1Base, 1, 10, buffer));
  EXPECT_EQ(card.image()[10 * FrameSize], 0x17);
  EXPECT_EQ(api.port_requests, card.counters().port_writes + card.counters().status_reads);
  EXPECT_EQ(direct_port.counters().port_writes, 0u);

  access.Release();
  EXPECT_EQ(api.service, Service::Absent);
  EXPECT_EQ(api.OpenHandleCount(), 0u);
  const std::size_t calls = api.calls.size();
  access.Release();
  EXPECT_EQ(api.calls.size(), calls);
  // Released: the port is no longer reachable.
  EXPECT_FALSE(ReadFrame(Lpt1Base, 1, 9, buffer));
  EXPECT_EQ(api.port_requests, card.counters().port_writes + card.counters().status_reads);
}

TEST_F(WindowsPortAccessTest, EachPreparationDecidesAfreshWhatToUndo) {
  api.service = Service::Running;
  {
    WindowsPortAccess access = MakeAccess();
    ASSERT_EQ(access.Prepare(Lpt1Base), std::nullopt);
    access.Release();
    EXPECT_EQ(api.service, Service::Running);
  }
  api.service = Service::Absent;
  WindowsPortAccess access = MakeAccess();
  ASSERT_EQ(access.Prepare(Lpt1Base), std::nullopt);
  ASSERT_EQ(access.Prepare(Lpt1Base), std::nullopt);  // the first hold is given up, not leaked
  EXPECT_EQ(api.OpenHandleCount(), 1u);
  access.Release();
  EXPECT_EQ(api.service, Service::Absent);
  EXPECT_EQ(api.OpenHandleCount(), 0u);
}

}  // namespace

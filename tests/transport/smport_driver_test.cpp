#include "transport/smport_driver.h"

#include <gtest/gtest.h>

#include "fake_win32_services.h"
#include "transport/recording_port.h"

namespace {

using Service = FakeWin32Services::ServiceState;
using Calls = std::vector<std::string>;

// Every driver step opens and closes the service manager, the service, and for a start or
// stop or removal one call on the service.
const Calls kOpenCreatingService = {
    "OpenSCManagerA", "CreateServiceA", "CloseServiceHandle",                        // install
    "OpenServiceA",   "StartServiceA",  "CloseServiceHandle", "CloseServiceHandle",  // start
    "CreateFileA"};
const Calls kStopAndRemove = {"CloseHandle",    "OpenSCManagerA",     "OpenServiceA",
                              "ControlService", "CloseServiceHandle", "OpenServiceA",
                              "DeleteService",  "CloseServiceHandle", "CloseServiceHandle"};

class SmportDriverTest : public ::testing::Test {
 protected:
  void OpenAndClose() {
    opened = driver.DriverOpen();
    driver.DriverCloseDevice();
    driver.DriverClose();
  }
  Calls CallsAfterOpen() const {
    return Calls(api.calls.begin() + static_cast<std::ptrdiff_t>(kOpenCreatingService.size()),
                 api.calls.end());
  }

  FakeWin32Services api;
  SmportDriver driver{api};
  bool opened = false;
};

TEST_F(SmportDriverTest, AnAbsentServiceIsCreatedStartedAndRemovedAgain) {
  ASSERT_TRUE(driver.DriverOpen());
  EXPECT_EQ(api.calls, kOpenCreatingService);
  EXPECT_EQ(api.created.name, "Smport");
  EXPECT_EQ(api.created.display_name, "Smport");
  EXPECT_EQ(api.created.binary_path, "C:\\WINDOWS\\system32\\Smport.sys");
  EXPECT_EQ(api.created.access, 0xF01FFu);
  EXPECT_EQ(api.created.type, 1u);           // kernel driver
  EXPECT_EQ(api.created.start, 3u);          // demand start
  EXPECT_EQ(api.created.error_control, 1u);  // normal
  EXPECT_EQ(api.opened.name, "\\\\.\\Smport");
  EXPECT_EQ(api.opened.access, 0xC0000000u);
  EXPECT_EQ(api.opened.share_mode, 0u);
  EXPECT_EQ(api.opened.disposition, 3u);
  EXPECT_EQ(api.opened.flags, 0x80u);
  EXPECT_EQ(api.service, Service::Running);
  EXPECT_EQ(api.OpenHandleCount(), 1u);  // only the device during the transfer
  EXPECT_TRUE(driver.RemoveServiceOnClose());
  EXPECT_TRUE(driver.StopServiceOnClose());

  driver.DriverCloseDevice();
  driver.DriverClose();
  EXPECT_EQ(CallsAfterOpen(), kStopAndRemove);
  EXPECT_EQ(api.service, Service::Absent);
  EXPECT_FALSE(api.marked_for_delete);
  EXPECT_EQ(api.OpenHandleCount(), 0u);
}

TEST_F(SmportDriverTest, AnInstalledStoppedServiceIsStartedThenOnlyStopped) {
  api.service = Service::Stopped;
  OpenAndClose();
  EXPECT_TRUE(opened);
  EXPECT_FALSE(driver.RemoveServiceOnClose());
  EXPECT_TRUE(driver.StopServiceOnClose());
  EXPECT_EQ(driver.DriverLastError(), 0u);
  EXPECT_EQ(api.service, Service::Stopped);
  EXPECT_EQ(std::count(api.calls.begin(), api.calls.end(), "DeleteService"), 0);
  EXPECT_EQ(std::count(api.calls.begin(), api.calls.end(), "ControlService"), 1);
  EXPECT_EQ(api.OpenHandleCount(), 0u);
}

TEST_F(SmportDriverTest, ARunningServiceIsUsedAndLeftRunning) {
  api.service = Service::Running;
  OpenAndClose();
  EXPECT_TRUE(opened);
  EXPECT_FALSE(driver.RemoveServiceOnClose());
  EXPECT_FALSE(driver.StopServiceOnClose());
  EXPECT_EQ(api.service, Service::Running);
  EXPECT_EQ(api.calls, (Calls{"OpenSCManagerA", "CreateServiceA", "OpenServiceA", "StartServiceA",
                              "CloseServiceHandle", "CloseServiceHandle", "CreateFileA",
                              "CloseHandle", "OpenSCManagerA", "CloseServiceHandle"}));
  EXPECT_EQ(api.OpenHandleCount(), 0u);
}

TEST_F(SmportDriverTest, NoServiceManagerMeansNothingElseIsTried) {
  api.failures["OpenSCManagerA"] = win32::ErrorAccessDenied;
  EXPECT_FALSE(driver.DriverOpen());
  EXPECT_EQ(driver.DriverLastError(), win32::ErrorAccessDenied);
  driver.DriverCloseDevice();
  driver.DriverClose();
  EXPECT_EQ(api.calls, (Calls{"OpenSCManagerA", "OpenSCManagerA"}));
}

TEST_F(SmportDriverTest, AFailedCreationClosesTheServiceManager) {
  api.failures["CreateServiceA"] = win32::ErrorAccessDenied;
  EXPECT_FALSE(driver.DriverOpen());
  EXPECT_EQ(driver.DriverLastError(), win32::ErrorAccessDenied);
  EXPECT_EQ(api.calls, (Calls{"OpenSCManagerA", "CreateServiceA", "CloseServiceHandle"}));
  EXPECT_EQ(api.OpenHandleCount(), 0u);
}

TEST_F(SmportDriverTest, AServiceThatWillNotStartIsStillStoppedAndRemoved) {
  constexpr win32::Dword ErrorDriverBlocked = 1275;
  api.failures["StartServiceA"] = ErrorDriverBlocked;
  EXPECT_FALSE(driver.DriverOpen());
  EXPECT_EQ(driver.DriverLastError(), ErrorDriverBlocked);
  EXPECT_EQ(std::count(api.calls.begin(), api.calls.end(), "CreateFileA"), 0);
  EXPECT_EQ(api.OpenHandleCount(), 0u);
  driver.DriverCloseDevice();
  driver.DriverClose();
  EXPECT_EQ(api.service, Service::Absent);
  EXPECT_EQ(api.OpenHandleCount(), 0u);
}

TEST_F(SmportDriverTest, ADeviceThatWillNotOpenLeavesTheServiceRunningUntilClose) {
  api.failures["CreateFileA"] = win32::ErrorFileNotFound;
  EXPECT_FALSE(driver.DriverOpen());
  EXPECT_EQ(driver.DriverLastError(), win32::ErrorFileNotFound);
  EXPECT_FALSE(driver.DeviceOpen());
  EXPECT_EQ(api.service, Service::Running);
  driver.DriverCloseDevice();
  driver.DriverClose();
  EXPECT_EQ(api.service, Service::Absent);
  EXPECT_EQ(std::count(api.calls.begin(), api.calls.end(), "CloseHandle"), 0);
}

TEST_F(SmportDriverTest, RequestsWithoutADeviceRecordInvalidHandle) {
  EXPECT_EQ(driver.DriverReadPort(0x379), 0);
  EXPECT_EQ(driver.DriverLastError(), win32::ErrorInvalidHandle);
  api.failures["OpenSCManagerA"] = win32::ErrorAccessDenied;
  driver.DriverOpen();
  driver.DriverWritePort(0x378, 0xFF);
  EXPECT_EQ(driver.DriverLastError(), win32::ErrorInvalidHandle);
  EXPECT_EQ(api.port_requests, 0u);
}

TEST_F(SmportDriverTest, RequestBuffersFollowTheDriversLayout) {
  RecordingPort port;
  port.idle_status = 0x5A;
  api.port = &port;
  ASSERT_TRUE(driver.DriverOpen());

  driver.DriverWritePort(0x3BC, 0xF9);
  EXPECT_EQ(api.last_request_code, 0xF100A408u);
  EXPECT_EQ(api.last_request_input, (std::vector<uint8_t>{0xBC, 0x03, 0xF9, 0x00}));
  EXPECT_EQ(api.last_request_output_size, 2u);

  EXPECT_EQ(driver.DriverReadPort(0x279), 0x5A);
  EXPECT_EQ(api.last_request_code, 0xF1006404u);
  EXPECT_EQ(api.last_request_input, (std::vector<uint8_t>{0x79, 0x02}));
  EXPECT_EQ(api.last_request_output_size, 2u);

  EXPECT_EQ(port.records, (std::vector<PortAccessRecord>{
                              {PortAccessRecord::Kind::Out, 0x3BC, 0xF9},
                              {PortAccessRecord::Kind::In, 0x279, 0x5A},
                          }));
  EXPECT_EQ(driver.DriverLastError(), 0u);
}

TEST_F(SmportDriverTest, AFailedRequestReadsZeroAndKeepsTheError) {
  RecordingPort port;
  api.port = &port;
  ASSERT_TRUE(driver.DriverOpen());
  constexpr win32::Dword ErrorGenFailure = 31;
  api.failures["DeviceIoControl"] = ErrorGenFailure;
  EXPECT_EQ(driver.DriverReadPort(0x379), 0);
  EXPECT_EQ(driver.DriverLastError(), ErrorGenFailure);
  driver.DriverWritePort(0x378, 0xFF);
  EXPECT_TRUE(port.records.empty());
}

TEST_F(SmportDriverTest, ResetRestoresTheFlagsAndForgetsTheDevice) {
  api.service = Service::Running;
  ASSERT_TRUE(driver.DriverOpen());
  driver.DriverReset();
  EXPECT_TRUE(driver.RemoveServiceOnClose());
  EXPECT_TRUE(driver.StopServiceOnClose());
  EXPECT_FALSE(driver.DeviceOpen());
  EXPECT_EQ(api.OpenHandleCount(), 1u);  // forgotten, not closed
}

TEST_F(SmportDriverTest, OpeningAgainClosesTheDeviceFirst) {
  api.service = Service::Running;
  ASSERT_TRUE(driver.DriverOpen());
  ASSERT_TRUE(driver.DriverOpen());  // the device is exclusive: it had to be closed
  EXPECT_EQ(api.OpenHandleCount(), 1u);
}

TEST_F(SmportDriverTest, ControlCodesFollowTheCtlCodeRule) {
  EXPECT_EQ(IoctlReadPort, 0xF1006404u);
  EXPECT_EQ(IoctlWritePort, 0xF100A408u);
  api.system_directory = "D:\\WINNT\\System32";
  EXPECT_EQ(driver.DriverFilePath(), "D:\\WINNT\\System32\\Smport.sys");
}

}  // namespace

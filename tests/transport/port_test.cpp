#include "transport/port.h"

#include <gtest/gtest.h>

#include "transport/recording_port.h"

namespace {

TEST(PortTest, PortNamesMapToTheirBaseAddresses) {
  EXPECT_EQ(PortBaseFromName("LPT1"), 0x378);
  EXPECT_EQ(PortBaseFromName("LPT2"), 0x278);
  EXPECT_EQ(PortBaseFromName("LPT3"), 0x3BC);
  // The comparison is exact; anything else is the third port.
  EXPECT_EQ(PortBaseFromName("lpt1"), 0x3BC);
  EXPECT_EQ(PortBaseFromName("LPT1 "), 0x3BC);
  EXPECT_EQ(PortBaseFromName(""), 0x3BC);
}

TEST(PortTest, AccessesReachTheInnermostInstalledBackendOnly) {
  RecordingPort outer;
  RecordingPort inner;
  inner.idle_status = 0x12;
  {
    ScopedPortBackend outer_installed(outer);
    {
      ScopedPortBackend inner_installed(inner);
      PortOut(0x378, 0xAA);
      EXPECT_EQ(PortIn(0x379), 0x12);
    }
    PortOut(0x278, 0x55);
  }
  // With nothing installed a write goes nowhere and a read yields 0, as with no driver device.
  PortOut(0x378, 0x01);
  EXPECT_EQ(PortIn(0x379), 0);
  using Kind = PortAccessRecord::Kind;
  EXPECT_EQ(inner.records,
            (std::vector<PortAccessRecord>{{Kind::Out, 0x378, 0xAA}, {Kind::In, 0x379, 0x12}}));
  EXPECT_EQ(outer.records, (std::vector<PortAccessRecord>{{Kind::Out, 0x278, 0x55}}));
}

}  // namespace

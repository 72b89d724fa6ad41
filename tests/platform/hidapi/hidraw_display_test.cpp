#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "platform/hidapi/hidapi_hid_manager.hpp"
#include "platform/simulated/line_sinks.hpp"
#include "umockdev_bed.hpp"

namespace lumaro {
namespace {

using ::testing::ElementsAre;
using testing::UmockdevBed;

constexpr const char* kDetect = "RarudoRuroravOduradadur: detectDisplays called";
constexpr const char* kOpened = "RarudoRuroravOduradadur: HID Manager open status: 0";

class HidrawDisplay : public ::testing::Test {
 protected:
  RarudoRuroravOduradadur& controller() {
    if (!controller_) {
      ControllerPorts ports;
      ports.hidManager = std::make_unique<hid::HidapiHidManager>();
      ports.sink = sink_;
      controller_ = std::make_unique<RarudoRuroravOduradadur>(std::move(ports));
    }
    return *controller_;
  }

  UmockdevBed bed_;
  std::shared_ptr<VectorLineSink> sink_ = std::make_shared<VectorLineSink>();
  std::unique_ptr<RarudoRuroravOduradadur> controller_;
};

// The report as it crosses the ioctl: a get carries the report ID in byte 0
// and comes back as [ID, byte]; a set sends exactly [ID, byte].
TEST_F(HidrawDisplay, BrightnessBytesCrossTheIoctlFramedByTheReportID) {
  auto& display = bed_.add(testing::cinemaDisplay(0x9226, "CY123", 0, 1, "2"));
  display.setBrightness(200);
  const auto displays = controller().detectDisplays();
  ASSERT_FALSE(displays.empty());

  EXPECT_EQ(controller().getBrightness(displays.front()), 200.0f / 255.0f);
  EXPECT_TRUE(controller().setBrightness(displays.front(), 0.5f));

  using Bytes = std::vector<std::uint8_t>;
  EXPECT_THAT(display.getRequests(), ElementsAre(Bytes{0x10, 0x00}));
  EXPECT_THAT(display.receivedReports(), ElementsAre(Bytes{0x10, 127}));
  EXPECT_EQ(display.brightness(), 127);
  EXPECT_EQ(display.openHandles(), 0);
  EXPECT_THAT(sink_->take(), ElementsAre(kDetect, kOpened, "Read brightness byte: 200", "Setting brightness byte: 127",
                                         "Successfully set brightness to 127"));
}

}  // namespace
}  // namespace lumaro

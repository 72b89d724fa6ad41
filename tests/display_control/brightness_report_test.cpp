#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "simulated_rig.hpp"

namespace lumaro {
namespace {

using hid::SimulatedCinemaDisplay;
using ::testing::_;
using ::testing::ElementsAre;

// Brightness reports need nothing of the record but its device.
AppleDisplay displayFor(std::shared_ptr<SimulatedCinemaDisplay> device) {
  AppleDisplay display;
  display.device = std::move(device);
  return display;
}

// Model value to wire byte (truncated, not rounded), and the byte read back as a value.
TEST(BrightnessScaling, WritesTheTruncatedByteAndReadsItBack) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float value;
    std::uint8_t byte;
  } cases[] = {{1.0f, 255}, {0.5f, 127}, {0.999f, 254}, {1.5f, 255}, {0.0f, 0}, {-1.0f, 0}, {nan, 0}};
  for (const auto& c : cases) {
    auto device = SimulatedCinemaDisplay::make({.brightness = 77});
    SimulatedRig rig;
    const AppleDisplay display = displayFor(device);
    EXPECT_TRUE(rig.controller->setBrightness(display, c.value)) << c.value;
    const std::string byte = std::to_string(c.byte);
    EXPECT_THAT(rig.sink->take(),
                ElementsAre("Setting brightness byte: " + byte, "Successfully set brightness to " + byte));
    EXPECT_THAT(device->reportsWritten(), ElementsAre(std::vector<std::uint8_t>{0x10, c.byte}));

    const auto readBack = rig.controller->getBrightness(display);
    EXPECT_THAT(rig.sink->take(), ElementsAre("Read brightness byte: " + byte));
    EXPECT_EQ(readBack, static_cast<float>(c.byte) / 255.0f);
    EXPECT_EQ(device->openCount(), 2);
    EXPECT_EQ(device->closeCount(), 2);
  }
}

// A display answering brightness 200 until `configure` breaks it.
std::shared_ptr<SimulatedCinemaDisplay> displayThat(const std::function<void(SimulatedCinemaDisplay&)>& configure) {
  auto device = SimulatedCinemaDisplay::make({.brightness = 200});
  configure(*device);
  return device;
}

using Reply = SimulatedCinemaDisplay::Reply;

// Every read that goes wrong prints one line saying why and closes what it opened.
TEST(BrightnessRead, FailuresPrintWhyAndCloseWhatTheyOpened) {
  const std::vector devices{displayThat([](auto& d) { d.setReply(Reply::kByteOnly); }),
                            displayThat([](auto& d) { d.setReply(Reply::kEmpty); }),
                            displayThat([](auto& d) { d.failGetReport(hid::kIOReturnNoDevice, 1); }),
                            displayThat([](auto& d) { d.failOpen(hid::kIOReturnNotPrivileged); })};
  SimulatedRig rig;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    EXPECT_EQ(rig.controller->getBrightness(displayFor(devices[i])), std::nullopt) << "device " << i;
    EXPECT_EQ(devices[i]->closeCount(), devices[i]->openCount()) << "device " << i;
    EXPECT_FALSE(devices[i]->isOpen()) << "device " << i;
  }
  EXPECT_EQ(rig.controller->getBrightness(AppleDisplay{}), std::nullopt);
  // Byte 0 of an answer is the report ID, so one byte holds no brightness; a
  // failed call's line shows the length it left behind; a record without a
  // device fails like a missing one.
  EXPECT_THAT(
      rig.sink->take(),
      ElementsAre("Failed to get report: -536870169, reportLength: 1", "Invalid report length: 0",
                  "Failed to get report: -536870208, reportLength: 1", "Failed to open device for reading: -536870207",
                  "Failed to open device for reading: -536870208"));
}

TEST(BrightnessWrite, RefusedWritesReturnFalseKeepTheBrightnessAndCloseWhatTheyOpened) {
  const std::vector devices{displayThat([](auto& d) { d.failSetReport(hid::kIOReturnUnsupported); }),
                            displayThat([](auto& d) { d.failOpen(hid::kIOReturnNotPrivileged); })};
  SimulatedRig rig;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    EXPECT_FALSE(rig.controller->setBrightness(displayFor(devices[i]), 0.5f)) << "device " << i;
    EXPECT_EQ(devices[i]->brightnessByte(), 200) << "device " << i;
    EXPECT_EQ(devices[i]->closeCount(), devices[i]->openCount()) << "device " << i;
    EXPECT_FALSE(devices[i]->isOpen()) << "device " << i;
  }
  EXPECT_FALSE(rig.controller->setBrightness(AppleDisplay{}, 0.5f));
  EXPECT_THAT(rig.sink->take(), ElementsAre("Setting brightness byte: 127", "Failed to set report: -536870201",
                                            "Failed to open device for writing: -536870207",
                                            "Failed to open device for writing: -536870208"));
}

TEST(BrightnessForAll, CountsTheDisplaysThatTookTheReport) {
  auto accepting = SimulatedCinemaDisplay::make({.productID = 0x9226, .brightness = 1});
  auto rejecting = SimulatedCinemaDisplay::make({.productID = 0x9227, .brightness = 2});
  rejecting->failSetReport(hid::kIOReturnError);
  SimulatedRig rig({accepting, rejecting});

  EXPECT_EQ(rig.controller->setBrightnessForAll(0.25f), 1);
  // Discovery's own two lines first; its suite pins them.
  EXPECT_THAT(rig.sink->take(), ElementsAre(_, _, "Setting brightness byte: 63", "Successfully set brightness to 63",
                                            "Setting brightness byte: 63", "Failed to set report: -536870212"));
  EXPECT_EQ(accepting->brightnessByte(), 63);
  EXPECT_EQ(rejecting->brightnessByte(), 2);

  rig.manager->setDevices({});
  EXPECT_EQ(rig.controller->setBrightnessForAll(0.25f), 0);
}

}  // namespace
}  // namespace lumaro

#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "edid_builders.hpp"
#include "fixtures.hpp"
#include "adapters/posix/posix_process_launcher.hpp"
#include "adapters/simulated/line_sinks.hpp"
#include "adapters/simulated/simulated_display_services.hpp"

namespace lumaro::testing {

inline std::string toolFixture(const std::string& name) { return fixturePath("tools/" + name); }

inline std::string prefixed(const std::string& text) { return "RarudoRuroravOduradadur: " + text; }

// EDID lookups must never reach for HID: any call fails the test.
class UntouchableHidManager final : public hid::Manager {
 public:
  void setDeviceMatching(const hid::DeviceMatching&) override { touched(); }
  hid::IOReturn open() override {
    touched();
    return hid::kIOReturnError;
  }
  std::optional<std::vector<std::shared_ptr<hid::Device>>> copyDevices() override {
    touched();
    return std::nullopt;
  }
  void close() override { touched(); }

 private:
  static void touched() { ADD_FAILURE() << "EDID code touched HID"; }
};

// Runs a real fixture script in place of the registry dump tool. Only a test
// can redirect the fixed tool path; the application has no such hook. Runs
// happen under the controller's harvest lock and tests switch scripts between
// lookups, so nothing here needs a lock of its own.
class FixtureToolLauncher final : public process::ProcessLauncher {
 public:
  explicit FixtureToolLauncher(std::string script) : script_(std::move(script)) {}

  void use(std::string script) { script_ = std::move(script); }
  int runs() const { return runs_; }

  process::RunResult run(const std::string& executable, const std::vector<std::string>& arguments) override {
    EXPECT_EQ(executable, RarudoRuroravOduradadur::ioregPath);
    ++runs_;
    return process::PosixProcessLauncher().run(script_, arguments);
  }

 private:
  std::string script_;
  int runs_ = 0;
};

// A controller over simulated display services, a fixture tool, a wall clock
// the test moves by hand and a line-collecting sink.
struct EdidRig {
  explicit EdidRig(std::shared_ptr<process::ProcessLauncher> launcher,
                   std::shared_ptr<displays::DisplayServices> displayServices = nullptr) {
    ControllerPorts ports;
    ports.hidManager = std::make_unique<UntouchableHidManager>();
    ports.displayServices = displayServices ? std::move(displayServices) : simulated;
    ports.processLauncher = std::move(launcher);
    ports.clock = [this] { return now; };  // read under the harvest lock only
    ports.sink = sink;
    controller = std::make_unique<RarudoRuroravOduradadur>(std::move(ports));
  }

  std::shared_ptr<VectorLineSink> sink = std::make_shared<VectorLineSink>();
  std::shared_ptr<displays::SimulatedDisplayServices> simulated =
      std::make_shared<displays::SimulatedDisplayServices>();
  std::chrono::system_clock::time_point now{std::chrono::seconds(1'700'000'000)};
  std::unique_ptr<RarudoRuroravOduradadur> controller;
};

// What a test EDID varies; everything else is the constructed digital display
// of the EDID builders, with a CEA extension when it is longer than 128 bytes.
struct TestEdid {
  std::uint16_t product = 0x9226;
  std::uint32_t serial = 0;
  std::size_t length = 256;
};

inline std::vector<std::uint8_t> makeEdid(const TestEdid& shape) {
  auto bytes = testing_edid::edid(shape.length, {{10, static_cast<std::uint8_t>(shape.product)},
                                                 {11, static_cast<std::uint8_t>(shape.product >> 8)},
                                                 {128, 0x02}});
  for (std::size_t i = 0; i < 4; ++i) bytes[12 + i] = static_cast<std::uint8_t>(shape.serial >> (8 * i));
  return bytes;
}

}  // namespace lumaro::testing

#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "edid_builders.hpp"
#include "fixtures.hpp"
#include "platform/posix/posix_process_launcher.hpp"
#include "platform/simulated/line_sinks.hpp"
#include "platform/simulated/simulated_display_services.hpp"

namespace lumaro::testing {

inline std::string toolFixture(const std::string& name) { return fixturePath("tools/" + name); }

inline std::string prefixed(const std::string& text) { return "RarudoRuroravOduradadur: " + text; }

// EDID lookups must never reach for HID: any call fails the test.
class UntouchableHidManager final : public hid::Manager {
 public:
  void setDeviceMatching(const hid::DeviceMatching&) override { ADD_FAILURE() << "EDID code touched HID"; }
  hid::IOReturn open() override {
    ADD_FAILURE() << "EDID code touched HID";
    return hid::kIOReturnError;
  }
  std::optional<std::vector<std::shared_ptr<hid::Device>>> copyDevices() override {
    ADD_FAILURE() << "EDID code touched HID";
    return std::nullopt;
  }
  void close() override { ADD_FAILURE() << "EDID code touched HID"; }
};

// A wall clock the test moves by hand.
class TestClock {
 public:
  WallClock function() {
    return [state = state_] {
      std::lock_guard lock(state->mutex);
      return state->now;
    };
  }
  void advance(double seconds) {
    std::lock_guard lock(state_->mutex);
    state_->now +=
        std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::duration<double>(seconds));
  }

 private:
  struct State {
    std::mutex mutex;
    std::chrono::system_clock::time_point now{std::chrono::seconds(1'700'000'000)};
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

// Runs a real fixture script in place of the registry dump tool. Only a test
// can redirect the fixed tool path; the application has no such hook.
class FixtureToolLauncher final : public process::ProcessLauncher {
 public:
  explicit FixtureToolLauncher(std::string script) : script_(std::move(script)) {}

  void use(std::string script) {
    std::lock_guard lock(mutex_);
    script_ = std::move(script);
  }
  int runs() const { return runs_.load(); }

  process::RunResult run(const std::string& executable, const std::vector<std::string>& arguments) override {
    EXPECT_EQ(executable, RarudoRuroravOduradadur::ioregPath);
    ++runs_;
    std::string script;
    {
      std::lock_guard lock(mutex_);
      script = script_;
    }
    return real_.run(script, arguments);
  }

 private:
  process::PosixProcessLauncher real_;
  mutable std::mutex mutex_;
  std::string script_;
  std::atomic<int> runs_{0};
};

// A controller over simulated display services, a fixture tool, a test clock
// and a line-collecting sink.
struct EdidRig {
  explicit EdidRig(std::shared_ptr<process::ProcessLauncher> launcher,
                   std::shared_ptr<displays::DisplayServices> displayServices = nullptr)
      : services(displayServices ? std::move(displayServices) : simulated) {
    ControllerPorts ports;
    ports.hidManager = std::make_unique<UntouchableHidManager>();
    ports.displayServices = services;
    ports.processLauncher = std::move(launcher);
    ports.clock = clock.function();
    ports.sink = sink;
    controller = std::make_unique<RarudoRuroravOduradadur>(std::move(ports));
  }

  std::shared_ptr<VectorLineSink> sink = std::make_shared<VectorLineSink>();
  std::shared_ptr<displays::SimulatedDisplayServices> simulated =
      std::make_shared<displays::SimulatedDisplayServices>();
  std::shared_ptr<displays::DisplayServices> services;
  TestClock clock;
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
  auto byte = [](std::uint32_t value, int index) { return static_cast<std::uint8_t>(value >> (8 * index)); };
  return testing_edid::edid(shape.length, {{10, byte(shape.product, 0)},
                                           {11, byte(shape.product, 1)},
                                           {12, byte(shape.serial, 0)},
                                           {13, byte(shape.serial, 1)},
                                           {14, byte(shape.serial, 2)},
                                           {15, byte(shape.serial, 3)},
                                           {128, 0x02}});
}

}  // namespace lumaro::testing

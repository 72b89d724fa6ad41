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

#include "diagnostics/line_sinks.hpp"
#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "platform/posix/posix_process_launcher.hpp"
#include "platform/simulated/simulated_display_services.hpp"

namespace lumaro::testing {

inline std::string toolFixture(const std::string& name) { return std::string(LUMARO_FIXTURES_DIR) + "/tools/" + name; }

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

// What a test EDID varies; everything else is a plausible digital display.
struct TestEdid {
  std::uint16_t product = 0x9226;
  std::uint32_t serial = 0;
  std::uint8_t vendorHigh = 0x06, vendorLow = 0x10;  // "APP"
  std::size_t length = 256;                          // 128: no extension block
};

// Built in code where a case needs one specific byte; whole real EDIDs come
// from the fixture files.
inline std::vector<std::uint8_t> makeEdid(const TestEdid& shape) {
  std::vector<std::uint8_t> bytes(std::max<std::size_t>(shape.length, 128), 0);
  const std::uint8_t header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  std::copy(std::begin(header), std::end(header), bytes.begin());
  bytes[8] = shape.vendorHigh;
  bytes[9] = shape.vendorLow;
  bytes[10] = static_cast<std::uint8_t>(shape.product & 0xFF);
  bytes[11] = static_cast<std::uint8_t>(shape.product >> 8);
  for (int i = 0; i < 4; ++i)
    bytes[12 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(shape.serial >> (8 * i));
  bytes[16] = 12;    // week 12
  bytes[17] = 20;    // 2010
  bytes[20] = 0xA5;  // digital, 8 bits per colour
  bytes[21] = 52;
  bytes[22] = 32;
  if (bytes.size() > 128) bytes[128] = 0x02;  // CEA-861 extension
  bytes.resize(shape.length);
  return bytes;
}

}  // namespace lumaro::testing

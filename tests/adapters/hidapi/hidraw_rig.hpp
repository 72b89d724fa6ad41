#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "adapters/hidapi/hidapi_hid_manager.hpp"
#include "adapters/simulated/line_sinks.hpp"
#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "umockdev_bed.hpp"

namespace lumaro {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

// The real hidapi adapter and controller over an emulated bed.
class HidrawDisplay : public ::testing::Test {
 protected:
  HidrawDisplay() {
    auto manager = std::make_unique<hid::HidapiHidManager>();
    manager_ = manager.get();
    ControllerPorts ports;
    ports.hidManager = std::move(manager);
    ports.sink = sink_;
    controller_ = std::make_unique<RarudoRuroravOduradadur>(std::move(ports));
  }

  // The displays found now; the discovery lines are dropped.
  std::vector<AppleDisplay> detect() {
    auto displays = controller_->detectDisplays();
    sink_->take();
    return displays;
  }

  testing::UmockdevBed bed_;
  std::shared_ptr<VectorLineSink> sink_ = std::make_shared<VectorLineSink>();
  hid::HidapiHidManager* manager_ = nullptr;  // owned by the controller
  std::unique_ptr<RarudoRuroravOduradadur> controller_;
};

}  // namespace lumaro

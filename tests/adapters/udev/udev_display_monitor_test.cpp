// Displays coming and going through the real libudev monitor, watched from a
// Qt event loop, into a real manager over the real hidraw adapter; the kernel
// side is the umockdev bed. The coalescing timer is fired by hand, so what a
// burst costs is counted, never timed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <QCoreApplication>
#include <memory>
#include <utility>
#include <vector>

#include "adapters/hidapi/hidapi_hid_manager.hpp"
#include "adapters/qt/qt_watched_device_events.hpp"
#include "adapters/simulated/line_sinks.hpp"
#include "adapters/simulated/manual_dispatch_queues.hpp"
#include "adapters/simulated/simulated_device_events.hpp"
#include "adapters/udev/udev_display_monitor.hpp"
#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "model/display_change_coalescer.hpp"
#include "model/lumaro_manager.hpp"
#include "qt_test_support.hpp"
#include "umockdev_bed.hpp"

namespace lumaro {
namespace {

using testing::UmockdevBed;

class DisplaysComingAndGoing : public ::testing::Test {
 protected:
  // Starts watching with the devices the bed holds by then.
  void watch() {
    testing::testApplication();
    auto monitor = std::make_unique<devices::UdevDisplayMonitor>([](std::int64_t vendor, std::int64_t product) {
      return vendor == RarudoRuroravOduradadur::appleVendorID &&
             RarudoRuroravOduradadur::supportedProductIDs().contains(product);
    });
    fd_ = monitor->fd();
    events_ = std::make_unique<QtWatchedDeviceEvents>(std::move(monitor));
    ControllerPorts ports;
    ports.hidManager = std::make_unique<hid::HidapiHidManager>();
    ports.sink = sink_;
    manager_ = LumaroManager::create(std::make_unique<RarudoRuroravOduradadur>(std::move(ports)), queues_, sink_);
    coalescer_ = std::make_unique<DisplayChangeCoalescer>(*events_, timer_, [this] {
      ++refreshes_;
      manager_->refresh();
      queues_->runAllMain();
    });
  }

  // Lets the event loop take in whatever the monitor has received: waits for
  // the descriptor to turn readable (bounded), then runs the loop until it
  // has nothing left to read.
  void deliver() {
    pollfd watched{fd_, POLLIN, 0};
    ::poll(&watched, 1, 1000);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }

  UmockdevBed bed_;
  int fd_ = -1;
  std::unique_ptr<QtWatchedDeviceEvents> events_;
  ManualTimer timer_;
  std::shared_ptr<ManualDispatchQueues> queues_ = std::make_shared<ManualDispatchQueues>();
  std::shared_ptr<VectorLineSink> sink_ = std::make_shared<VectorLineSink>();
  std::shared_ptr<LumaroManager> manager_;
  std::unique_ptr<DisplayChangeCoalescer> coalescer_;
  int refreshes_ = 0;
};

TEST_F(DisplaysComingAndGoing, PlugInAndOutAndABurstEachRefreshOnceOtherDevicesNever) {
  auto& early = bed_.add(testing::cinemaDisplay(0x9226, "CY000", 2, 1, "5"));
  watch();
  ASSERT_GE(fd_, 0);
  auto& keyboard = bed_.add(testing::keyboard(3, 1, "3"));
  auto unsupported = testing::cinemaDisplay(0x1234, "X", 4, 1, "4");
  const auto descriptor = std::exchange(unsupported.reportDescriptor, {});
  bed_.add(unsupported);
  bed_.remove(keyboard);
  deliver();
  EXPECT_EQ(timer_.starts(), 0) << "another device, an unsupported model";

  bed_.remove(early);
  deliver();
  ASSERT_TRUE(timer_.fire()) << "a display attached before the start is known when pulled";
  auto& display = bed_.add(testing::cinemaDisplay(0x9226, "CY123", 0, 1, "2"));
  deliver();
  ASSERT_TRUE(timer_.fire()) << "the add events armed the coalescing timer";
  EXPECT_EQ(refreshes_, 2);
  ASSERT_EQ(manager_->displays().size(), 1u);
  EXPECT_EQ(manager_->displays()[0].serialNumber, "CY123");

  // Re-enumeration after sleep: ten events, one refresh.
  for (int i = 0; i < 5; ++i) {
    bed_.uevent(display, "remove");
    bed_.uevent(display, "add");
  }
  deliver();
  EXPECT_TRUE(timer_.fire());
  EXPECT_EQ(refreshes_, 3);

  bed_.remove(display);
  deliver();
  ASSERT_TRUE(timer_.fire());
  EXPECT_EQ(refreshes_, 4);
  EXPECT_TRUE(manager_->displays().empty());

  // An unlisted model counts once its descriptor describes a brightness control.
  unsupported.reportDescriptor = descriptor;
  unsupported.hidraw = 1;
  unsupported.devpath = "7";
  bed_.add(unsupported);
  deliver();
  EXPECT_TRUE(timer_.fire());
  EXPECT_EQ(refreshes_, 5);
}

}  // namespace
}  // namespace lumaro

#include "ui_rig.hpp"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QLabel>
#include <QTextDocumentFragment>
#include <QWidget>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "ui/elided_label.hpp"

namespace lumaro::testing {

process::RunResult ScriptedDumpTool::run(const std::string&, const std::vector<std::string>&) {
  process::Completed completed;
  completed.standardOutput.assign(output_.begin(), output_.end());
  return completed;
}

std::vector<std::uint8_t> fixtureBytes(const std::string& relativePath) {
  const std::string path = std::string(LUMARO_FIXTURES_DIR) + "/" + relativePath;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("missing fixture " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

// The controller owns its HID manager; the rig keeps driving the same bus.
class SharedHidManager final : public hid::Manager {
 public:
  explicit SharedHidManager(std::shared_ptr<hid::SimulatedHidManager> target) : target_(std::move(target)) {}
  void setDeviceMatching(const hid::DeviceMatching& matching) override { target_->setDeviceMatching(matching); }
  hid::IOReturn open() override { return target_->open(); }
  std::optional<std::vector<std::shared_ptr<hid::Device>>> copyDevices() override { return target_->copyDevices(); }
  void close() override { target_->close(); }

 private:
  std::shared_ptr<hid::SimulatedHidManager> target_;
};

}  // namespace

UiRig::UiRig() {
  ControllerPorts ports;
  ports.hidManager = std::make_unique<SharedHidManager>(hid);
  ports.displayServices = services;
  ports.processLauncher = dumpTool;
  ports.clock = [] { return std::chrono::system_clock::time_point{}; };
  ports.sink = sink;
  manager = LumaroManager::create(std::make_unique<RarudoRuroravOduradadur>(std::move(ports)), queues, sink);
}

std::shared_ptr<hid::SimulatedCinemaDisplay> UiRig::plug(const hid::SimulatedCinemaDisplay::Identity& identity) {
  auto display = hid::SimulatedCinemaDisplay::make(identity);
  hid->addDevice(display);
  return display;
}

void UiRig::attachEdid(std::int64_t productID) {
  services->addOnlineDisplay({.id = ++online_, .vendor = 0x0610, .model = static_cast<std::uint32_t>(productID)});
  services->addService("IODisplayConnect", displays::SimulatedDisplayServices::displayService(
                                               0x0610, productID, fixtureBytes("edid/apple-led-cinema-9226.bin")));
}

void settle(ManualDispatchQueues& queues) {
  for (int round = 0; round < 100; ++round) {
    const std::size_t ran = queues.runAll();
    QCoreApplication::sendPostedEvents();
    if (ran == 0 && queues.pendingMain() == 0 && queues.pendingGlobal() == 0) return;
  }
  ADD_FAILURE() << "still busy after 100 rounds";
}

void UiRig::refreshNow() {
  manager->refresh();
  queues->runAllMain();
}

int UiRig::linesStartingWith(const std::string& prefix) const {
  const auto lines = sink->lines();
  return static_cast<int>(
      std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.starts_with(prefix); }));
}

QStringList visibleTexts(const QWidget& root) {
  struct Placed {
    QPoint at;
    QString text;
  };
  // Pending layout passes first, so positions reflect what is shown now.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  std::vector<Placed> placed;
  for (const QWidget* widget : root.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&root)) continue;
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      text = label->textFormat() == Qt::RichText ? QTextDocumentFragment::fromHtml(label->text()).toPlainText()
                                                 : label->text();
    } else if (const auto* elided = qobject_cast<const ui::ElidedLabel*>(widget)) {
      text = elided->text();
    }
    if (text.isEmpty()) continue;
    placed.push_back({widget->mapTo(&root, QPoint(0, widget->height() / 2)), text});
  }
  // Reading order: by vertical centre, with texts whose centres lie within a
  // few pixels of each other read as one line, left to right.
  std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.at.y() < b.at.y(); });
  constexpr int kSameLine = 6;
  for (auto line = placed.begin(); line != placed.end();) {
    auto end = std::find_if(line, placed.end(), [&](const Placed& p) { return p.at.y() - line->at.y() > kSameLine; });
    std::stable_sort(line, end, [](const Placed& a, const Placed& b) { return a.at.x() < b.at.x(); });
    line = end;
  }
  QStringList texts;
  for (const Placed& p : placed) texts << p.text;
  return texts;
}

hid::SimulatedCinemaDisplay::Identity ledCinema(std::uint8_t brightness) {
  hid::SimulatedCinemaDisplay::Identity identity;
  identity.productID = 0x9226;
  identity.name = "LED Cinema Display";
  identity.serialNumber = "2A1133WZ6JL";
  identity.brightness = brightness;
  return identity;
}

hid::SimulatedCinemaDisplay::Identity namelessCinemaHD(std::uint8_t brightness) {
  hid::SimulatedCinemaDisplay::Identity identity;
  identity.productID = 0x9221;
  identity.name = std::nullopt;
  identity.serialNumber = "CY0000000002";
  identity.locationID = 0x14200000;
  identity.brightness = brightness;
  return identity;
}

}  // namespace lumaro::testing

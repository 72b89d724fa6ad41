// One refresh of the display list with four Cinema Displays attached:
// detection, a brightness read per display, and the main-queue step that
// publishes the new rows. Once on the simulated HID bus, once with the four
// on the kernel's backlight driver: real sysfs files in a scratch tree, read
// through the application's composite of both paths. And once with four
// displays found by their report descriptors, read from sysfs files.

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "adapters/backlight/backlight_hid_manager.hpp"
#include "adapters/composite/composite_hid_manager.hpp"
#include "described_displays.hpp"
#include "simulated_manager.hpp"

namespace {

constexpr std::size_t kDisplays = 4;

void BM_Refresh(benchmark::State& state) {
  lumaro::bench::SimulatedManager rig(kDisplays);
  for (auto _ : state) {
    rig.manager->refresh();
    rig.pump();
  }
  // Every pass must have reached the published state, not stopped early.
  if (rig.manager->displays().size() != kDisplays || rig.manager->deviceMap().size() != kDisplays) {
    state.SkipWithError("the refresh did not publish four rows");
  }
}
BENCHMARK(BM_Refresh)->Unit(benchmark::kMicrosecond);

namespace fs = std::filesystem;

void put(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << text << "\n";
}

// The kernel's layout: parentless backlights, and the USB devices whose
// interfaces the display driver holds.
fs::path backlightTree(std::size_t count) {
  std::string pattern = (fs::temp_directory_path() / "lumaro-bench-XXXXXX").string();
  const fs::path root = ::mkdtemp(pattern.data());
  for (std::size_t index = 0; index < count; ++index) {
    const std::string port = std::to_string(index + 1);
    const fs::path usb = root / "devices/usb1" / ("1-" + port);
    for (const auto& [name, value] : {std::pair{"idVendor", "05ac"}, {"idProduct", "9226"}, {"busnum", "1"}}) {
      put(usb / name, value);
    }
    put(usb / "devpath", port);
    put(usb / "devnum", port);
    put(usb / "serial", "2A1133WZ6J" + port);
    fs::create_directories(usb / ("1-" + port + ":1.0"));
    fs::create_directories(root / "bus/usb/drivers/appledisplay");
    fs::create_directory_symlink(usb / ("1-" + port + ":1.0"),
                                 root / "bus/usb/drivers/appledisplay" / ("1-" + port + ":1.0"));
    const fs::path backlight = root / "devices/virtual/backlight" / ("appledisplay" + std::to_string(index));
    put(backlight / "max_brightness", "255");
    put(backlight / "actual_brightness", std::to_string(64 + 32 * index));
    fs::create_directories(root / "class/backlight");
    fs::create_directory_symlink(backlight, root / "class/backlight" / backlight.filename());
  }
  return root;
}

void BM_RefreshBacklightDriver(benchmark::State& state) {
  const fs::path root = backlightTree(kDisplays);
  std::vector<std::unique_ptr<lumaro::hid::Manager>> paths;
  paths.push_back(std::make_unique<lumaro::hid::SimulatedHidManager>());
  paths.push_back(std::make_unique<lumaro::hid::BacklightHidManager>(root, nullptr));
  lumaro::bench::SimulatedManager rig(std::make_unique<lumaro::hid::CompositeHidManager>(std::move(paths)));
  for (auto _ : state) {
    rig.manager->refresh();
    rig.pump();
  }
  if (rig.manager->displays().size() != kDisplays) state.SkipWithError("the refresh did not publish four rows");
  fs::remove_all(root);
}
BENCHMARK(BM_RefreshBacklightDriver)->Unit(benchmark::kMicrosecond);

std::vector<std::uint8_t> fileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Four displays found by their descriptors, each read from its sysfs file and
// parsed at every pass, then a brightness read in the display's units.
void BM_RefreshDescribedDisplays(benchmark::State& state) {
  const auto descriptor = fileBytes(fs::path(LUMARO_HID_FIXTURES) / "studio-display-1114.bin");
  lumaro::bench::SimulatedManager rig(std::make_unique<lumaro::bench::DescribedDisplays>(
      kDisplays, descriptor, std::vector<std::uint8_t>{1, 0x30, 0x75, 0, 0, 0xAB, 0xCD}));
  for (auto _ : state) {
    rig.manager->refresh();
    rig.pump();
  }
  const auto& rows = rig.manager->displays();
  if (rows.size() != kDisplays || rows[0].brightnessFailure || rows[0].brightness != (30000.0f - 400) / 59600) {
    state.SkipWithError("the refresh did not publish four read rows");
  }
}
BENCHMARK(BM_RefreshDescribedDisplays)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

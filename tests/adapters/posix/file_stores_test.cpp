// Remembered levels and preferences in files: what survives bad files,
// unwritable folders and two processes saving at once.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "adapters/posix/file_level_store.hpp"
#include "adapters/posix/file_preference_store.hpp"
#include "adapters/posix/xdg_autostart.hpp"
#include "adapters/simulated/line_sinks.hpp"
#include "scratch_dir.hpp"

namespace lumaro {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class FileStores : public ::testing::Test {
 protected:
  testing::ScratchDir dir;
  std::shared_ptr<VectorLineSink> sink = std::make_shared<VectorLineSink>();
  FileLevelStore store{dir.path() / "state/lumaro/levels", sink};
};

TEST_F(FileStores, LevelsReadBackAndABadFileIsIgnoredOnceThenReplaced) {
  EXPECT_THAT(store.load(), IsEmpty());  // nothing saved yet: no line either
  store.save({{"serial:2A1133WZ6JL", 0.3f}, {"usb:05AC:9221:14200000", 1.0f}});
  EXPECT_EQ(store.load(), (RememberedLevels{{"serial:2A1133WZ6JL", 0.3f}, {"usb:05AC:9221:14200000", 1.0f}}));
  EXPECT_THAT(sink->take(), IsEmpty());

  for (const char* bad : {"serial:A=0.5\nserial:B=1.5\n", "serial:A=half\n", "no level here\n", "\x01\xff=0.1x"}) {
    dir.write("state/lumaro/levels", bad);
    EXPECT_THAT(store.load(), IsEmpty()) << bad;
    EXPECT_THAT(sink->take(), ElementsAre(HasSubstr("is not a level; it is replaced at the next change"))) << bad;
  }
  store.save({{"serial:A", 0.5f}});
  EXPECT_EQ(store.load(), (RememberedLevels{{"serial:A", 0.5f}}));
}

TEST_F(FileStores, AnUnwritableFolderCostsOneLineUntilASaveSucceeds) {
  dir.write("blocked", "a file where the folder would be");
  FileLevelStore blocked(dir.path() / "blocked/lumaro/levels", sink);
  FilePreferenceStore preferences(dir.path() / "blocked/lumaro/settings", sink);
  for (int i = 0; i < 3; ++i) blocked.save({{"serial:A", 0.5f}});
  preferences.save({.restoreOnReturn = false});
  EXPECT_THAT(blocked.load(), IsEmpty());
  EXPECT_EQ(preferences.load(), Preferences{});
  const auto lines = sink->take();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_THAT(lines[0], HasSubstr("RememberedLevels: Cannot save "));
  EXPECT_THAT(lines[1], HasSubstr("Preferences: Cannot save "));
}

TEST_F(FileStores, TwoWritersNeverLeaveATornFile) {
  // Each writer saves its own set, long enough to need several writes.
  RememberedLevels first, second;
  for (int i = 0; i < 400; ++i) first["serial:first-" + std::to_string(i)] = 0.25f;
  for (int i = 0; i < 300; ++i) second["serial:second-" + std::to_string(i)] = 0.75f;
  store.save(first);
  std::atomic<bool> done{false};
  auto writer = [&](const RememberedLevels& levels) {
    FileLevelStore own(dir.path() / "state/lumaro/levels", sink);
    for (int i = 0; i < 100; ++i) own.save(levels);
  };
  std::thread a(writer, first), b(writer, second);
  int reads = 0;
  std::thread reader([&] {
    while (!done) {
      const auto seen = store.load();
      EXPECT_TRUE(seen == first || seen == second) << seen.size();
      ++reads;
    }
  });
  a.join();
  b.join();
  done = true;
  reader.join();
  EXPECT_GT(reads, 0);
  EXPECT_THAT(sink->lines(), IsEmpty());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "state/lumaro"), {}), 1);
}

TEST_F(FileStores, PreferencesReadBackAndUnknownLinesKeepTheDefault) {
  FilePreferenceStore preferences(dir.path() / "config/lumaro/settings", sink);
  EXPECT_TRUE(preferences.load().restoreOnReturn);
  preferences.save({.restoreOnReturn = false});
  EXPECT_FALSE(preferences.load().restoreOnReturn);
  dir.write("config/lumaro/settings", "restore-on-return=maybe\n");
  EXPECT_TRUE(preferences.load().restoreOnReturn);
  EXPECT_THAT(sink->take(), ElementsAre(HasSubstr("Ignoring \"restore-on-return=maybe\"")));
}

TEST_F(FileStores, StartAtLoginWritesTheAutostartEntryAndRemovesIt) {
  XdgAutostart autostart(dir.path() / "config/autostart/io.github.lumaro.Lumaro.desktop", sink);
  EXPECT_FALSE(autostart.enabled());
  EXPECT_TRUE(autostart.setEnabled(true));
  EXPECT_TRUE(autostart.enabled());
  std::ifstream entry(dir.path() / "config/autostart/io.github.lumaro.Lumaro.desktop");
  const std::string text{std::istreambuf_iterator<char>(entry), {}};
  EXPECT_THAT(text, HasSubstr("\nExec=lumaro\n"));
  EXPECT_TRUE(autostart.setEnabled(false));
  EXPECT_FALSE(autostart.enabled());
  XdgAutostart homeless(std::nullopt, sink);
  EXPECT_FALSE(homeless.setEnabled(true));
  EXPECT_THAT(sink->take(), ElementsAre("Autostart: No home directory; cannot start at login"));
}

}  // namespace
}  // namespace lumaro

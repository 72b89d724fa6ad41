#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

// Every input fixture needs a recorded source and a golden output.
TEST(FixturesManifest, EveryEdidAndRegistryFixtureIsListedAndHasGoldenOutput) {
  const fs::path root = LUMARO_FIXTURES_DIR;
  std::ifstream readme(root / "README.md");
  const std::string manifest(std::istreambuf_iterator<char>(readme), {});
  ASSERT_FALSE(manifest.empty());
  int inputs = 0;
  for (const char* folder : {"edid", "registry"}) {
    for (const auto& entry : fs::directory_iterator(root / folder)) {
      const fs::path file = entry.path();
      if (file.extension() == ".expected") {
        fs::path input = file;
        EXPECT_TRUE(fs::exists(input.replace_extension(".bin")) || fs::exists(input.replace_extension(".txt")))
            << file << " belongs to no fixture";
        continue;
      }
      ++inputs;
      EXPECT_NE(manifest.find("`" + file.filename().string() + "`"), std::string::npos)
          << file.filename() << " is not listed in tests/fixtures/README.md";
      fs::path expected = file;
      EXPECT_TRUE(fs::exists(expected.replace_extension(".expected"))) << file.filename() << " has no .expected";
    }
  }
  EXPECT_GT(inputs, 0);
}

}  // namespace

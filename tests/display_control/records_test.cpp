#include "display_control/records/records.hpp"

#include <gtest/gtest.h>

#include <set>

namespace lumaro {
namespace {

TEST(Uuid, RandomIsVersionFourWithCanonicalText) {
  std::set<Uuid> seen;
  for (int i = 0; i < 100; ++i) {
    const Uuid id = Uuid::random();
    EXPECT_EQ(id.bytes()[6] >> 4, 4);
    EXPECT_EQ(id.bytes()[8] & 0xC0, 0x80);
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 100u);
  const Uuid fixed(
      Uuid::Bytes{0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0x4d, 0xef, 0x80, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07});
  EXPECT_EQ(fixed.toString(), "12345678-9ABC-4DEF-8001-020304050607");
}

TEST(DisplayItem, NamesUnknownDisplaysAndComparesTextByCanonicalEquivalence) {
  AppleDisplay display;
  display.id = Uuid::random();
  EXPECT_EQ(DisplayItem::from(display, 0.25f).name, "Unknown Display");

  display.name = "Caf\u00e9";  // precomposed é
  const DisplayItem precomposed = DisplayItem::from(display, 0.5f);
  DisplayItem decomposed = precomposed;
  decomposed.name = "Cafe\u0301";  // e + combining acute
  EXPECT_EQ(precomposed, decomposed);
  decomposed.serialNumber = "";  // absent and empty differ
  EXPECT_NE(precomposed, decomposed);
}

}  // namespace
}  // namespace lumaro

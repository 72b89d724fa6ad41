#include "display_control/records/records.hpp"

#include <gtest/gtest.h>

#include <set>

namespace lumaro {
namespace {

DisplayEDIDDetails sampleDetails() {
  return {"APP",           "0x9226",           "1234",        "Week 12, 2010",
          "52 cm × 32 cm", "8 bits per color", "DisplayPort", "HDCP 1.3+ (via DisplayPort)"};
}

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

TEST(DisplayItem, MadeFromDisplayCopiesIdentityAndNamesUnknownDisplays) {
  AppleDisplay display;
  display.id = Uuid::random();
  display.vendorID = 1452;
  display.productID = 0x9226;
  display.serialNumber = "ABC";
  display.locationID = 0x14200000;
  const DisplayItem unnamed = DisplayItem::from(display, 0.25f);
  EXPECT_EQ(unnamed.id, display.id);
  EXPECT_EQ(unnamed.name, "Unknown Display");
  EXPECT_EQ(unnamed.productID, 0x9226);
  EXPECT_EQ(unnamed.serialNumber, "ABC");
  EXPECT_EQ(unnamed.locationID, 0x14200000);
  EXPECT_FALSE(unnamed.details.has_value());
  EXPECT_EQ(unnamed.brightness, 0.25f);

  display.name = "Cinema HD";
  EXPECT_EQ(DisplayItem::from(display, 0.25f).name, "Cinema HD");
}

TEST(DisplayItem, EqualityCoversEveryFieldAndCanonicalEquivalence) {
  AppleDisplay display;
  display.id = Uuid::random();
  display.name = "Caf\u00e9";  // precomposed é
  const DisplayItem base = DisplayItem::from(display, 0.5f);

  DisplayItem decomposed = base;
  decomposed.name = "Cafe\u0301";  // e + combining acute
  EXPECT_EQ(base, decomposed);

  DisplayItem brighter = base;
  brighter.brightness = 0.6f;
  EXPECT_NE(base, brighter);

  DisplayItem withDetails = base;
  withDetails.details = sampleDetails();
  EXPECT_NE(base, withDetails);

  DisplayItem serialAbsentVsEmpty = base;
  serialAbsentVsEmpty.serialNumber = "";
  EXPECT_NE(base, serialAbsentVsEmpty);

  DisplayItem otherId = base;
  otherId.id = Uuid::random();
  EXPECT_NE(base, otherId);
}

TEST(DisplayEDIDDetails, EqualityComparesAllEightStrings) {
  const DisplayEDIDDetails a = sampleDetails();
  for (int field = 0; field < 8; ++field) {
    DisplayEDIDDetails b = a;
    std::string* fields[] = {&b.manufacturer, &b.productID,  &b.serialNumber,   &b.manufactureDate,
                             &b.dimensions,   &b.colorDepth, &b.connectionType, &b.hdcpSupport};
    *fields[field] += "x";
    EXPECT_NE(a, b) << "field " << field;
  }
  DisplayEDIDDetails nfd = a;
  nfd.dimensions = "52 cm \u00d7 32 cm";
  EXPECT_EQ(a, nfd);
}

}  // namespace
}  // namespace lumaro

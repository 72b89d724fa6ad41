#include "display_control/details_assembly.hpp"

#include <gtest/gtest.h>

#include <string>

#include "edid_builders.hpp"

namespace lumaro {
namespace {

using testing_edid::edid;

// --- Assembly --------------------------------------------------------------------

// The base block with no serial, no manufacturer and no size; a CEA extension.
EDIDParser sparseParser() { return *EDIDParser::make(edid(256, {{8, 0}, {9, 0}, {12, 0}, {21, 0}, {128, 0x02}})); }

TEST(DisplayServiceAssembly, FallsBackToDisplaySerialThenUnknown) {
  const DisplayEDIDDetails withSerial = assembleDisplayServiceDetails(sparseParser(), 4242);
  EXPECT_EQ(withSerial, (DisplayEDIDDetails{"Unknown", "0x9226", "4242", "Week 12, 2010", "Unknown", "8 bits per color",
                                            "DisplayPort", "HDCP 1.3+ (via DisplayPort)"}));
  EXPECT_EQ(assembleDisplayServiceDetails(sparseParser(), 0).serialNumber, "Unknown");
  // The EDID's own serial wins over the display's.
  EXPECT_EQ(assembleDisplayServiceDetails(*EDIDParser::make(edid(128)), 4242).serialNumber, "1");
  EXPECT_EQ(assembleDisplayServiceDetails(*EDIDParser::make(edid(128)), 0).connectionType, "Unknown");
}

TEST(RegistryDumpAssembly, TakesDepthAndConnectionFromTheEntry) {
  DisplayEDID entry{"LED Cinema", {}, 10, "Thunderbolt"};
  const DisplayEDIDDetails fromEntry = assembleRegistryDumpDetails(sparseParser(), entry, "C02XYZ");
  EXPECT_EQ(fromEntry, (DisplayEDIDDetails{"Unknown", "0x9226", "C02XYZ", "Week 12, 2010", "Unknown",
                                           "10 bits per color", "Thunderbolt", "HDCP 1.3+ (via DisplayPort)"}));

  // Without them: no depth even though byte 20 has one; the EDID's connection.
  entry.colorDepthBpc.reset();
  entry.connectionType.reset();
  const DisplayEDIDDetails fromEdid = assembleRegistryDumpDetails(sparseParser(), entry, std::nullopt);
  EXPECT_EQ(fromEdid.colorDepth, "Unknown");
  EXPECT_EQ(fromEdid.connectionType, "DisplayPort");
  EXPECT_EQ(fromEdid.serialNumber, "Unknown");
  EXPECT_EQ(assembleRegistryDumpDetails(*EDIDParser::make(edid(128)), entry, std::nullopt).connectionType, "Unknown");

  // An empty connection text is present and shown as it is.
  entry.connectionType = "";
  EXPECT_EQ(assembleRegistryDumpDetails(sparseParser(), entry, std::nullopt).connectionType, "");
  EXPECT_EQ(assembleRegistryDumpDetails(*EDIDParser::make(edid(128)), entry, "C02XYZ").serialNumber, "1");
}

}  // namespace
}  // namespace lumaro

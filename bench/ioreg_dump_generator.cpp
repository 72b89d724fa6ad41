#include "ioreg_dump_generator.hpp"

#include <array>
#include <random>
#include <string_view>
#include <vector>

namespace lumaro::bench {
namespace {

constexpr std::array<std::string_view, 12> kClasses = {
    "IOAudioToggleControl", "IOPCIDevice",          "IOUSBHostDevice",   "AppleACPICPU",  "IOMedia",
    "IOHIDEventService",    "AppleSMCKeysEndpoint", "IOBluetoothDevice", "IOFramebuffer", "IOPMrootDomain",
    "AppleUSBHostPort",     "IONetworkInterface"};
constexpr std::array<std::string_view, 14> kKeys = {"IOAudioControlType",
                                                    "IOAudioControlChannelName",
                                                    "IOPowerManagement",
                                                    "IOUserClientCreator",
                                                    "IOProviderClass",
                                                    "IOMatchCategory",
                                                    "IOReportLegend",
                                                    "compatible",
                                                    "reg",
                                                    "IOInterruptSpecifiers",
                                                    "IOGeneralInterest",
                                                    "built-in",
                                                    "IOPCIExpressLinkStatus",
                                                    "IORegistryEntryPropertyKeys"};
// Names as real machines show them, some outside ASCII.
constexpr std::array<std::string_view, 6> kNames = {"Right", "All Channels",  "pid 146, coreaudiod",
                                                    "Новый", "Écran intégré", "Macintosh HD"};

class Writer {
 public:
  Writer(std::string& out, std::uint32_t seed) : out_(out), random_(seed) {}

  std::size_t number(std::size_t below) { return random_() % below; }

  void hex(std::size_t bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes; ++i) {
      const std::size_t value = number(4) == 0 ? number(256) : 0;  // data values are mostly zeros
      out_.push_back(kDigits[value >> 4]);
      out_.push_back(kDigits[value & 0x0F]);
    }
  }

  void line(std::string_view prefix, std::string_view text) {
    out_.append(prefix);
    out_.append(text);
    out_.push_back('\n');
  }

  // One property line of a random kind.
  void property(const std::string& prefix) {
    out_.append(prefix);
    out_.append("  \"");
    out_.append(kKeys[number(kKeys.size())]);
    out_.append("\" = ");
    switch (number(9)) {
      case 0:
      case 1:
        out_.append(std::to_string(random_()));
        break;
      case 2:
        out_.append("\"").append(kNames[number(kNames.size())]).append("\"");
        break;
      case 3:
        out_.append(number(2) != 0 ? "Yes" : "No");
        break;
      case 4:
        out_.append("<");
        hex(number(40) == 0 ? 256 + number(2048) : 4 + number(28));
        out_.append(">");
        break;
      case 5:
        out_.append("{\"MaxPowerState\"=2,\"DevicePowerState\"=").append(std::to_string(number(3)));
        out_.append(",\"CurrentPowerState\"=2,\"ChildrenPowerState\"=2}");
        break;
      case 6:
        out_.append("(").append(std::to_string(number(64))).append(",").append(std::to_string(number(64)));
        out_.append(",").append(std::to_string(number(64))).append(")");
        break;
      case 7:
        out_.append("<\"").append(kClasses[number(kClasses.size())]).append("\">");
        break;
      default:
        out_.append("{\"IOReportGroupName\"=\"Interrupt Statistics\",\"IOReportChannels\"=((5291294645182070784,");
        out_.append(std::to_string(random_())).append(",\"First Level Interrupt Handler Count\")),\"reg\"=<");
        hex(8);
        out_.append(">}");
        break;
    }
    out_.push_back('\n');
  }

  void entry(const std::string& treePrefix) {
    out_.append(treePrefix);
    out_.append("+-o ");
    const std::string_view cls = kClasses[number(kClasses.size())];
    out_.append(cls).append("@").append(std::to_string(number(16)));
    out_.append("  <class ").append(cls).append(", id 0x1000");
    hex(3);
    out_.append(", registered, matched, active, busy 0 (").append(std::to_string(number(300)));
    out_.append(" ms), retain ").append(std::to_string(6 + number(30))).append(">\n");
    const std::string inner = treePrefix + "| ";
    line(inner, "{");
    const std::size_t properties = 2 + number(10);
    for (std::size_t i = 0; i < properties; ++i) property(inner);
    line(inner, "}");
    line(inner, "");
  }

  std::string& out() { return out_; }

 private:
  std::string& out_;
  std::mt19937 random_;
};

std::string hexOf(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

// A 256-byte EDID of an Apple display with a CEA-861 extension.
std::vector<std::uint8_t> displayEdid(std::uint16_t productCode, std::uint32_t serial) {
  std::vector<std::uint8_t> bytes(256, 0);
  for (std::size_t i = 1; i <= 6; ++i) bytes[i] = 0xFF;
  bytes[8] = 0x06;
  bytes[9] = 0x10;
  bytes[10] = static_cast<std::uint8_t>(productCode & 0xFF);
  bytes[11] = static_cast<std::uint8_t>(productCode >> 8);
  for (std::size_t i = 0; i < 4; ++i) bytes[12 + i] = static_cast<std::uint8_t>(serial >> (8 * i));
  bytes[16] = 13;
  bytes[17] = 21;
  bytes[18] = 1;
  bytes[19] = 4;
  bytes[20] = 0xB5;
  bytes[21] = 60;
  bytes[22] = 34;
  bytes[126] = 1;
  bytes[128] = 0x02;
  bytes[129] = 0x03;
  return bytes;
}

struct Display {
  std::string_view name;
  std::uint16_t productCode;
  bool wrapped;
  int maxBpc;
};

constexpr std::array<Display, 4> kDisplays = {{{"LED Cinema", 0x9226, false, 10},
                                               {"Cinema HD", 0x921C, true, 8},
                                               {"Thunderbolt Display", 0x9227, false, 8},
                                               {"Cinema Display", 0x9232, true, 8}}};

void writeDisplay(Writer& writer, const Display& display, std::uint32_t index, bool metadataLines) {
  const std::string prefix = "  | |   ";
  const std::string edid = hexOf(displayEdid(display.productCode, 0x02000000 + index));
  writer.line("  | ",
              "+-o display0  <class IODisplayConnect, id 0x100000abc, registered, matched, active, busy 0 "
              "(0 ms), retain 6>");
  writer.line("  | | ",
              "+-o AppleDisplay  <class AppleDisplay, id 0x100000abd, registered, matched, active, busy 0 "
              "(0 ms), retain 8>");
  writer.line(prefix, "{");
  writer.line(prefix, "  \"DisplayProductName\" = {");
  writer.line(prefix, "    \"en_US\" = \"" + std::string(display.name) + "\"");
  writer.line(prefix, "  }");
  writer.line(prefix, "  \"IODisplayConnectFlags\" = <00000000>");
  if (display.wrapped) {
    writer.line(prefix, "  \"IODisplayEDID\" = <" + edid.substr(0, 32));
    for (std::size_t at = 32; at < edid.size(); at += 32) {
      std::string wrappedLine = "                         ";
      for (std::size_t group = at; group < at + 32; group += 8) wrappedLine += edid.substr(group, 8) + " ";
      if (at + 32 >= edid.size()) wrappedLine += ">";
      writer.line("", wrappedLine);
    }
  } else {
    writer.line(prefix, "  \"IODisplayEDID\" = <" + edid + ">");
  }
  writer.line(prefix, "  \"DisplayVendorID\" = 1552");
  writer.line(prefix, "  \"DisplayProductID\" = " + std::to_string(display.productCode));
  if (metadataLines) {
    writer.line(prefix, "  \"DisplayHints\" = {\"MaxBpc\"=" + std::to_string(display.maxBpc) + ",\"ProductName\"=\"" +
                            std::string(display.name) + "\",\"MaxW\"=2560,\"MaxH\"=1440}");
    writer.line(prefix, "  \"Metadata\" = {\"DFP Type Description\"=\"DisplayPort\",\"ProductName\"=\"" +
                            std::string(display.name) + "\",\"EDID\"=<" + edid + ">,\"Location\"=\"External\"}");
  }
  writer.line(prefix, "}");
  writer.line(prefix, "");
}

}  // namespace

std::string generateIoregDump(const DumpOptions& options) {
  std::string out;
  out.reserve(options.targetBytes + (64u << 10));
  Writer writer(out, options.seed);
  writer.line("", "+-o Root  <class IORegistryEntry, id 0x100000100, retain 27>");
  std::size_t displaysWritten = 0;
  std::size_t policyLines = 0;
  while (out.size() < options.targetBytes) {
    // Displays at a fifth, two fifths, ... of the text; policy lines near the start.
    const std::size_t due = (displaysWritten + 1) * options.targetBytes / (kDisplays.size() + 1);
    if (displaysWritten < kDisplays.size() && out.size() >= due) {
      writeDisplay(writer, kDisplays[displaysWritten], static_cast<std::uint32_t>(displaysWritten),
                   options.metadataLines);
      ++displaysWritten;
      continue;
    }
    if (policyLines < 3 && out.size() >= (policyLines + 1) * options.targetBytes / 50) {
      writer.line("  | |   ",
                  "  \"Config2\" = {\"GFX0\"={\"EDID\"={\"index\"=0},\"FeatureControl\"=12,\"unload\"=No}}");
      ++policyLines;
      continue;
    }
    std::string tree = "  ";
    const std::size_t depth = 1 + writer.number(8);
    for (std::size_t level = 0; level < depth; ++level) tree += "| ";
    writer.entry(tree);
  }
  return out;
}

}  // namespace lumaro::bench

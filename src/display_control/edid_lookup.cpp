// The EDID lookup for one USB display: the online-display list joined with
// the registry's display services first, the registry dump second.

#include <algorithm>
#include <array>
#include <string>
#include <variant>

#include "diagnostics/format.hpp"
#include "display_control/details_assembly.hpp"
#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "edid/edid_layout.hpp"
#include "edid/edid_parser.hpp"
#include "text/decimal_integer.hpp"

namespace lumaro {
namespace {

// Searched in this order; the first qualifying service wins.
constexpr std::array<std::string_view, 3> kDisplayServiceClasses = {"IODisplayConnect", "IODisplay", "IOFramebuffer"};

std::optional<displays::RegistryValue> valueFor(const displays::InfoDictionary& dictionary, std::string_view key) {
  if (auto it = dictionary.find(key); it != dictionary.end()) return it->second;
  return std::nullopt;
}

}  // namespace

std::optional<DisplayEDIDDetails> RarudoRuroravOduradadur::fetchEDIDDetails(
    std::int64_t vendorID, std::int64_t productID, const std::optional<std::string>& serialNumber,
    const std::optional<std::vector<std::uint8_t>>& usbEDID) {
  say("Fetching EDID for vendor 0x" + diag::hex4(vendorID) + " product 0x" + diag::hex4(productID));
  if (usbEDID) {
    if (auto details = fetchEDIDViaUsb(*usbEDID)) return details;
  }

  // The online-display list reports the display's own vendor number, never
  // the USB one, so the USB vendor only serves the line above.
  if (auto details = fetchEDIDViaCoreGraphics(appleDisplayVendorID, productID)) {
    say("Successfully fetched EDID via CoreGraphics");
    return details;
  }

  const std::vector<DisplayEDID> entries = getEDIDDataViaIoreg();
  say("Found " + std::to_string(entries.size()) + " displays with EDID data via IORegistry");

  for (const DisplayEDID& entry : entries) {
    const auto parser = EDIDParser::make(entry.edidData);
    if (!parser) continue;  // too short or not an EDID: not worth a line
    if (parser->productCodeValue() == productID) {
      say("Found matching EDID by product ID " + std::to_string(productID));
      return assembleRegistryDumpDetails(*parser, entry, serialNumber);
    }
    // Texts are compared, so "0123" never matches an EDID serial of 123, and
    // an all-zero EDID serial has no text at all.
    const auto edidSerial = parser->serialNumber();
    if (serialNumber && edidSerial && *serialNumber == *edidSerial) {
      say("Found matching EDID by serial " + *serialNumber);
      return assembleRegistryDumpDetails(*parser, entry, serialNumber);
    }
  }
  say("No matching EDID found");
  return std::nullopt;
}

std::optional<DisplayEDIDDetails> RarudoRuroravOduradadur::fetchEDIDViaCoreGraphics(std::int64_t vendorID,
                                                                                    std::int64_t productID) {
  auto& services = ports_.displayServices;
  const displays::OnlineDisplays online =
      services ? services->onlineDisplayList(maxOnlineDisplays) : displays::OnlineDisplays{-1, {}};
  if (online.result != 0) {
    say("CGGetOnlineDisplayList failed");
    return std::nullopt;
  }
  const std::size_t count = std::min<std::size_t>(online.ids.size(), maxOnlineDisplays);
  say("Found " + std::to_string(count) + " online display(s)");

  for (std::size_t i = 0; i < count; ++i) {
    const displays::DisplayID display = online.ids[i];
    const std::uint32_t vendor = services->vendorNumber(display);
    const std::uint32_t model = services->modelNumber(display);
    say("Display " + std::to_string(i) + ": vendor 0x" + diag::hex4(vendor) + " product 0x" + diag::hex4(model));
    if (vendor != vendorID || model != productID) continue;

    std::optional<std::vector<std::uint8_t>> edid;
    {
      // The service is released as soon as its property has been read.
      const auto service = findAppleDisplayService(model);
      if (!service) continue;
      edid = readDisplayEDID(*service);
    }
    if (!edid) continue;

    say("Got EDID data via display service (" + std::to_string(edid->size()) + " bytes)");
    const auto parser = EDIDParser::make(*edid);
    if (!parser) {
      say("EDID parser failed");
      continue;
    }
    return assembleDisplayServiceDetails(*parser, services->serialNumber(display));
  }
  say("No matching display found in CGDisplay list");
  return std::nullopt;
}

std::optional<DisplayEDIDDetails> RarudoRuroravOduradadur::fetchEDIDViaUsb(const std::vector<std::uint8_t>& usbEDID) {
  const auto own = EDIDParser::make(usbEDID);
  if (!own) return std::nullopt;
  const auto baseBlock = std::span(usbEDID).first(edid_layout::kBlockSize);
  if (auto& services = ports_.displayServices) {
    for (const std::string_view className : kDisplayServiceClasses) {
      const auto iterator = services->matchingServices(className);
      if (!iterator) continue;
      while (const auto service = iterator->next()) {
        const auto edid = readDisplayEDID(*service);
        if (!edid || edid->size() < baseBlock.size() ||
            !std::equal(baseBlock.begin(), baseBlock.end(), edid->begin())) {
          continue;
        }
        // Equal base blocks make this connector the display's, whatever
        // order the connectors come in; it may carry more blocks than USB.
        if (const auto connected = EDIDParser::make(*edid)) {
          say("Found the display's own EDID on a display service (" + std::to_string(edid->size()) + " bytes)");
          return assembleDisplayServiceDetails(*connected, 0);
        }
      }
    }
  }
  say("Using the EDID the display sent over USB (" + std::to_string(usbEDID.size()) + " bytes)");
  return assembleDisplayServiceDetails(*own, 0);
}

std::unique_ptr<displays::RegistryService> RarudoRuroravOduradadur::findAppleDisplayService(std::int64_t productID) {
  auto& services = ports_.displayServices;
  if (!services) return nullptr;

  for (const std::string_view className : kDisplayServiceClasses) {
    // Dropping a handle releases it, so every `continue` and the end of each
    // class's loop release the service and the iterator.
    const auto iterator = services->matchingServices(className);
    if (!iterator) continue;
    while (auto service = iterator->next()) {
      const auto info = service->createInfoDictionary();
      if (!info) continue;
      const auto vendor = registryInteger(valueFor(*info, "DisplayVendorID"));
      if (!vendor) continue;
      const auto product = registryInteger(valueFor(*info, "DisplayProductID"));
      if (!product) continue;
      // The product must be the matched display's own: with two different
      // supported models attached, the first supported service would
      // otherwise hand one display the other's EDID.
      const bool appleVendor = *vendor == appleDisplayVendorID || *vendor == appleVendorID;
      if (appleVendor && *product == productID && supportedProductIDs().contains(*product)) return service;
    }
  }
  return nullptr;
}

std::optional<std::vector<std::uint8_t>> RarudoRuroravOduradadur::readDisplayEDID(
    const displays::RegistryService& service) {
  const auto value = service.property("IODisplayEDID");
  if (!value) return std::nullopt;
  if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&*value)) return *bytes;
  return std::nullopt;
}

std::optional<std::int64_t> RarudoRuroravOduradadur::registryInteger(
    const std::optional<displays::RegistryValue>& value) {
  if (!value) return std::nullopt;
  if (const auto* number = std::get_if<std::int64_t>(&*value)) return *number;
  if (const auto* text = std::get_if<std::string>(&*value)) return text::parseSignedDecimal(*text);
  return std::nullopt;
}

}  // namespace lumaro

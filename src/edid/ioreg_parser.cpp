#include "edid/ioreg_parser.hpp"

#include <string>

#include "edid/ioreg_diagnostics.hpp"
#include "edid/ioreg_passes.hpp"

namespace lumaro {

namespace ioreg {

TextLine lineStartingAt(std::string_view text, std::size_t start) {
  const text::LineBreak end = text::findLineBreak(text, start);
  return {text.substr(start, end.offset - start), end};
}

TextLine lineHolding(std::string_view text, std::size_t offset) {
  return lineStartingAt(text, text::lineStartAt(text, offset));
}

}  // namespace ioreg

std::vector<DisplayEDID> parseIoregOutput(std::string_view text, LineSink& sink) {
  std::vector<DisplayEDID> records = ioreg::collectMetadataRecords(text, sink);
  if (!records.empty()) {
    // Display hints only feed metadata records, so they are read only when there
    // are some; reading them after the records changes nothing, as neither step prints.
    const ioreg::MaxBpcByProductName hints = ioreg::collectDisplayHints(text);
    for (DisplayEDID& record : records) {
      if (record.name) record.colorDepthBpc = hints.find(*record.name);
    }
    sink.writeLine(ioreg::diagnosticLine({"Found ", std::to_string(records.size()), " EDID entries from Metadata"}));
    return records;
  }
  records = ioreg::collectPropertyBlocks(text, sink);
  sink.writeLine(ioreg::diagnosticLine({"Parsed ", std::to_string(records.size()), " EDID entries from ioreg"}));
  return records;
}

}  // namespace lumaro

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
  const ioreg::MaxBpcByProductName hints = ioreg::collectDisplayHints(text);
  std::vector<DisplayEDID> records = ioreg::collectMetadataRecords(text, hints, sink);
  if (!records.empty()) {
    sink.writeLine(ioreg::diagnosticLine({"Found ", std::to_string(records.size()), " EDID entries from Metadata"}));
    return records;
  }
  records = ioreg::collectPropertyBlocks(text, sink);
  sink.writeLine(ioreg::diagnosticLine({"Parsed ", std::to_string(records.size()), " EDID entries from ioreg"}));
  return records;
}

}  // namespace lumaro

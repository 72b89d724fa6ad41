#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "edid/display_edid.hpp"
#include "ports/line_sink.hpp"
#include "text/line_breaks.hpp"

// The three passes of the registry-dump parser, run by parseIoregOutput.
namespace lumaro::ioreg {

// One line of the dump, and the break that ends it (length 0 on the last line).
struct TextLine {
  std::string_view text;
  text::LineBreak end;

  bool isLast() const { return end.length == 0; }
  std::size_t nextStart() const { return end.offset + end.length; }
};

TextLine lineStartingAt(std::string_view text, std::size_t start);
TextLine lineHolding(std::string_view text, std::size_t offset);

// Colour depth per product name. Names that are canonically equivalent are one key.
class MaxBpcByProductName {
 public:
  void set(std::string_view name, std::int64_t maxBpc);
  std::optional<std::int64_t> find(std::string_view name) const;
  std::size_t size() const { return values_.size(); }

 private:
  std::map<std::string, std::int64_t, std::less<>> values_;
};

// Pass 1: display-hints lines.
MaxBpcByProductName collectDisplayHints(std::string_view text);

// Pass 2: one record per metadata line that carries a readable EDID. Colour
// depths are left to the caller, from the display hints.
std::vector<DisplayEDID> collectMetadataRecords(std::string_view text, LineSink& sink);

// Pass 3: EDID property blocks, named by the nearest "DisplayProductName" entry.
std::vector<DisplayEDID> collectPropertyBlocks(std::string_view text, LineSink& sink);

}  // namespace lumaro::ioreg

// The property-block pass: "IODisplayEDID" and "EDID" values, possibly spread
// over several lines, named by a nearby localized "DisplayProductName".

#include <algorithm>

#include "edid/ioreg_diagnostics.hpp"
#include "edid/ioreg_parser.hpp"
#include "edid/ioreg_passes.hpp"
#include "edid/ioreg_patterns.hpp"
#include "text/unicode_text.hpp"

namespace lumaro::ioreg {
namespace {

constexpr std::size_t kNameLookAhead = 9;
// A block is complete at 256 digits (128 bytes), or at 128 digits once a line
// with a quote shows that the value has ended.
constexpr std::size_t kFullBlockDigits = 256;
constexpr std::size_t kShortBlockDigits = 128;

// The next offset at or after a position where a pattern occurs, remembered
// until the walk passes it so each search runs over the text only once.
class NextHit {
 public:
  NextHit(std::string_view text, std::string_view pattern) : text_(text), pattern_(pattern) {}

  std::size_t from(std::size_t position) {
    if (!searched_ || (hit_ != std::string_view::npos && hit_ < position)) {
      hit_ = findLiteral(text_, pattern_, position);
      searched_ = true;
    }
    return hit_;
  }

 private:
  std::string_view text_;
  std::string_view pattern_;
  std::size_t hit_ = std::string_view::npos;
  bool searched_ = false;
};

class PropertyBlockPass {
 public:
  PropertyBlockPass(std::string_view text, LineSink& sink) : text_(text), sink_(sink) {}

  std::vector<DisplayEDID> run() {
    // Outside a block only lines holding a product-name entry or an EDID key do
    // anything, so the walk jumps from one such line to the next. "EDID\"" is
    // the common tail of both keys.
    NextHit productNames(text_, kDisplayProductName);
    NextHit edidKeys(text_, kEdidKey.substr(1));
    std::size_t start = 0;
    std::size_t number = 0;
    while (true) {
      if (!inBlock_) {
        const std::size_t hit = std::min(productNames.from(start), edidKeys.from(start));
        if (hit == std::string_view::npos) break;
        const std::size_t lineStart = text::lineStartAt(text_, hit);
        number += text::countLineBreaks(text_.substr(start, lineStart - start));
        start = lineStart;
      }
      const TextLine line = lineStartingAt(text_, start);
      nameStep(line, number);
      blockStep(line, number);
      if (line.isLast()) break;
      start = line.nextStart();
      ++number;
    }
    return std::move(records_);
  }

 private:
  void nameStep(const TextLine& line, std::size_t number) {
    if (!contains(line.text, kDisplayProductName)) return;
    sink_.writeLine(diagnosticLine({"Found DisplayProductName at line ", std::to_string(number)}));
    TextLine next = line;
    for (std::size_t ahead = 0; ahead < kNameLookAhead && !next.isLast(); ++ahead) {
      next = lineStartingAt(text_, next.nextStart());
      if (auto name = localizedName(next.text)) {
        sink_.writeLine(diagnosticLine({"Found display name: ", *name}));
        currentName_ = std::move(name);
        return;
      }
      if (contains(next.text, '}')) return;
    }
  }

  // `"en_US" = "Name"` or `"en" = "Name"`: the quoted text after the first "=".
  static std::optional<std::string> localizedName(std::string_view line) {
    if (!contains(line, kLocaleEnUs) && !contains(line, kLocaleEn)) return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view value = text::trimmedView(line.substr(equals + 1));
    if (value.empty() || value.front() != '"') return std::nullopt;
    std::string unquoted;
    std::copy_if(value.begin(), value.end(), std::back_inserter(unquoted), [](char c) { return c != '"'; });
    std::string name = text::trim(unquoted);
    if (name.empty()) return std::nullopt;
    return name;
  }

  void blockStep(const TextLine& line, std::size_t number) {
    const std::string_view text = line.text;
    if (contains(text, kIODisplayEdidKey) || contains(text, kEdidKey)) {
      sink_.writeLine(diagnosticLine({"Found EDID key at line ", std::to_string(number)}));
      hex_.clear();
      valueClosed_ = false;
      if (contains(text, '<')) {
        const std::size_t equals = text.rfind('=');
        valueClosed_ = appendBracketedHex(equals == std::string_view::npos ? text : text.substr(equals + 1), hex_);
      }
      inBlock_ = true;
      return;
    }
    if (!inBlock_) return;
    const bool quoted = contains(text, '"');
    // Once its ">" has been read the value is whole; bracketed values of
    // later properties must not be glued onto it.
    if (!valueClosed_) {
      if (text.find_first_of("<>") != std::string_view::npos) {
        valueClosed_ = appendBracketedHex(text, hex_);
      } else if (!quoted) {
        appendHexRun(text, hex_, true);
      }
    }
    if (hex_.size() >= kFullBlockDigits || (quoted && hex_.size() >= kShortBlockDigits)) convertBlock();
  }

  void convertBlock() {
    if (auto bytes = hexStringToData(hex_, sink_)) {
      sink_.writeLine(diagnosticLine({"Parsed EDID data (", std::to_string(bytes->size()),
                                      " bytes) for display: ", currentName_ ? *currentName_ : "Unknown"}));
      records_.push_back(DisplayEDID{currentName_, std::move(*bytes), std::nullopt, std::nullopt});
      currentName_.reset();
      hex_.clear();
    } else {
      sink_.writeLine(
          diagnosticLine({"Failed to convert hex string to data (length: ", std::to_string(hex_.size()), ")"}));
    }
    inBlock_ = false;
  }

  std::string_view text_;
  LineSink& sink_;
  std::vector<DisplayEDID> records_;
  std::string hex_;
  bool inBlock_ = false;
  bool valueClosed_ = false;  // the open block's value has had its closing ">"
  std::optional<std::string> currentName_;
};

}  // namespace

std::vector<DisplayEDID> collectPropertyBlocks(std::string_view text, LineSink& sink) {
  return PropertyBlockPass(text, sink).run();
}

}  // namespace lumaro::ioreg

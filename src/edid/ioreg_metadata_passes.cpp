// The display-hints and metadata passes: the single-line form in which
// Apple-silicon registries describe a display.

#include "edid/ioreg_parser.hpp"
#include "edid/ioreg_passes.hpp"
#include "edid/ioreg_patterns.hpp"
#include "text/canonical_equivalence.hpp"
#include "text/unicode_text.hpp"

namespace lumaro::ioreg {
namespace {

// A product name quoted after `"ProductName"="`, whose closing quote may stand
// on one of the next few lines of a wrapped value.
std::optional<std::string> hintsProductName(std::string_view text, const TextLine& line) {
  constexpr int kMaxFollowingLines = 5;
  const std::size_t at = line.text.find(kHintsProductName);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view rest = line.text.substr(at + kHintsProductName.size());
  if (const std::size_t quote = rest.find('"'); quote != std::string_view::npos) {
    return std::string(rest.substr(0, quote));
  }
  std::string name(rest);
  TextLine current = line;
  for (int appended = 0; appended < kMaxFollowingLines && !current.isLast(); ++appended) {
    current = lineStartingAt(text, current.nextStart());
    name.push_back('\n');
    const std::size_t quote = current.text.find('"');
    name.append(current.text.substr(0, quote));
    if (quote != std::string_view::npos) return name;
  }
  return std::nullopt;
}

void readHintsLine(std::string_view text, const TextLine& line, MaxBpcByProductName& hints) {
  const auto digits = matchMaxBpcDigits(line.text);
  const std::optional<std::int64_t> value = digits ? parseDecimal(*digits) : std::nullopt;
  const std::optional<std::string> name = hintsProductName(text, line);
  if (!value || !name) return;
  // Line feeds taken in from a wrapped name are control characters and go here.
  const std::string cleaned = text::clean(*name);
  if (!cleaned.empty()) hints.set(cleaned, *value);
}

std::optional<DisplayEDID> readMetadataLine(std::string_view line, LineSink& sink) {
  DisplayEDID record;
  if (const std::size_t at = line.find(kMetadataProductName); at != std::string_view::npos) {
    if (const auto quoted = matchQuotedText(line.substr(at + kMetadataProductName.size()))) {
      record.name = text::clean(*quoted);
    }
  }
  if (const std::size_t at = line.find(kConnectionDescription); at != std::string_view::npos) {
    const std::size_t from = at + kConnectionDescription.size();
    if (const std::size_t quote = line.find('"', from); quote != std::string_view::npos) {
      record.connectionType = std::string(line.substr(from, quote - from));
    }
  }
  const auto digits = matchMetadataEdidDigits(line);
  if (!digits) return std::nullopt;
  auto bytes = hexStringToData(*digits, sink);
  if (!bytes) return std::nullopt;
  record.edidData = std::move(*bytes);
  return record;
}

}  // namespace

void MaxBpcByProductName::set(std::string_view name, std::int64_t maxBpc) {
  values_.insert_or_assign(text::canonicalKey(name), maxBpc);
}

std::optional<std::int64_t> MaxBpcByProductName::find(std::string_view name) const {
  const auto found = values_.find(text::canonicalKey(name));
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

MaxBpcByProductName collectDisplayHints(std::string_view text) {
  MaxBpcByProductName hints;
  for (std::size_t hit = findLiteral(text, kDisplayHints, 0); hit != std::string_view::npos;) {
    const TextLine line = lineHolding(text, hit);
    if (contains(line.text, kMaxBpc)) readHintsLine(text, line, hints);
    if (line.isLast()) break;
    hit = findLiteral(text, kDisplayHints, line.nextStart());
  }
  return hints;
}

std::vector<DisplayEDID> collectMetadataRecords(std::string_view text, LineSink& sink) {
  std::vector<DisplayEDID> records;
  for (std::size_t hit = findLiteral(text, kMetadata, 0); hit != std::string_view::npos;) {
    const TextLine line = lineHolding(text, hit);
    if (contains(line.text, kMetadataEdid)) {
      if (auto record = readMetadataLine(line.text, sink)) records.push_back(std::move(*record));
    }
    if (line.isLast()) break;
    hit = findLiteral(text, kMetadata, line.nextStart());
  }
  return records;
}

}  // namespace lumaro::ioreg

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumaro::bench {

struct DumpOptions {
  std::size_t targetBytes = 16u << 20;  // the dump ends with the first entry past this size
  // Also write the single-line "DisplayHints" and "Metadata" properties of
  // Apple-silicon machines beside each display.
  bool metadataLines = false;
  std::uint32_t seed = 1;
};

// A registry dump in the shape of `ioreg -l -w 0` output: thousands of entries
// with property lines of every kind (numbers, strings, booleans, data, nested
// dictionaries and arrays, a few long data values and non-ASCII names), policy
// lines whose "EDID" key has no value, and four displays spread over the text,
// two with their EDID on one line and two with it wrapped over 32-digit lines.
// The same options always give the same text.
std::string generateIoregDump(const DumpOptions& options);

}  // namespace lumaro::bench

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumaro::testing {

// The path of a file under tests/fixtures.
std::string fixturePath(const std::string& relativePath);

// The bytes of a file under tests/fixtures; throws when it is missing, so a
// renamed fixture fails loudly instead of reading as empty.
std::vector<std::uint8_t> fixtureBytes(const std::string& relativePath);

// The LED Cinema Display EDID the simulated registry hands out.
inline std::vector<std::uint8_t> appleDisplayEdid() { return fixtureBytes("edid/apple-led-cinema-9226.bin"); }

}  // namespace lumaro::testing

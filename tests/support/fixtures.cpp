#include "fixtures.hpp"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace lumaro::testing {

std::string fixturePath(const std::string& relativePath) {
  return std::string(LUMARO_FIXTURES_DIR) + "/" + relativePath;
}

std::vector<std::uint8_t> fixtureBytes(const std::string& relativePath) {
  const std::string path = fixturePath(relativePath);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("missing fixture " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace lumaro::testing

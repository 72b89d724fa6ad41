#include "adapters/buswire/bus_address.hpp"

namespace lumaro::buswire {

namespace {

std::optional<int> hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

std::optional<std::string> unescaped(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '%') {
      out += value[i];
      continue;
    }
    if (i + 2 >= value.size()) return std::nullopt;
    const auto high = hexDigit(value[i + 1]);
    const auto low = hexDigit(value[i + 2]);
    if (!high || !low) return std::nullopt;
    out += static_cast<char>(*high * 16 + *low);
    i += 2;
  }
  return out;
}

std::optional<SocketAddress> unixSocket(std::string_view entry) {
  constexpr std::string_view kTransport = "unix:";
  if (!entry.starts_with(kTransport)) return std::nullopt;
  entry.remove_prefix(kTransport.size());
  std::optional<SocketAddress> found;
  while (!entry.empty()) {
    const std::size_t comma = entry.find(',');
    const std::string_view pair = entry.substr(0, comma);
    entry = comma == std::string_view::npos ? std::string_view{} : entry.substr(comma + 1);
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = pair.substr(0, equals);
    if (key != "path" && key != "abstract") continue;  // guid and the listening-only keys
    auto value = unescaped(pair.substr(equals + 1));
    if (!value || value->empty() || found) return std::nullopt;
    found = SocketAddress{std::move(*value), key == "abstract"};
  }
  return found;
}

}  // namespace

std::vector<SocketAddress> unixSockets(std::string_view addresses) {
  std::vector<SocketAddress> sockets;
  while (!addresses.empty()) {
    const std::size_t semicolon = addresses.find(';');
    if (auto socket = unixSocket(addresses.substr(0, semicolon))) sockets.push_back(std::move(*socket));
    addresses = semicolon == std::string_view::npos ? std::string_view{} : addresses.substr(semicolon + 1);
  }
  return sockets;
}

std::vector<SocketAddress> sessionBusSockets(std::optional<std::string_view> sessionBusAddress,
                                             std::optional<std::string_view> runtimeDirectory) {
  if (sessionBusAddress && !sessionBusAddress->empty()) return unixSockets(*sessionBusAddress);
  if (runtimeDirectory && !runtimeDirectory->empty()) return {{std::string(*runtimeDirectory) + "/bus", false}};
  return {};
}

}  // namespace lumaro::buswire

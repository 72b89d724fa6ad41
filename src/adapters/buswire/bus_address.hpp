#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaro::buswire {

// A Unix socket a bus listens on.
struct SocketAddress {
  std::string path;
  bool abstract = false;  // in the abstract namespace, not the file system

  bool operator==(const SocketAddress&) const = default;
};

// The Unix sockets of a D-Bus address list ("unix:path=/run/user/1000/bus;
// unix:abstract=/tmp/dbus-x,guid=..."), in the order to try them, with
// %-escapes undone. Other transports, and entries that do not parse, are
// passed over.
std::vector<SocketAddress> unixSockets(std::string_view addresses);

// Where the session bus is: the address list in DBUS_SESSION_BUS_ADDRESS,
// else the socket "bus" in XDG_RUNTIME_DIR, as the bus daemon and the
// other client libraries look for it.
std::vector<SocketAddress> sessionBusSockets(std::optional<std::string_view> sessionBusAddress,
                                             std::optional<std::string_view> runtimeDirectory);

}  // namespace lumaro::buswire

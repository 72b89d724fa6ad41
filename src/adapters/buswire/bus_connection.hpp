#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "adapters/buswire/bus_address.hpp"
#include "adapters/buswire/wire_message.hpp"
#include "adapters/posix/unique_fd.hpp"

namespace lumaro::buswire {

// A client's connection to a message bus, speaking the wire protocol itself
// over the Unix socket: a command that makes one call starts without loading
// a D-Bus library and the libraries it brings. Calls are synchronous.
class BusConnection {
 public:
  // Connected to the first socket that accepts; absent when none does. The
  // first call authenticates, then sends Hello and itself in one write: two
  // round trips in all.
  static std::unique_ptr<BusConnection> open(const std::vector<SocketAddress>& sockets);

  struct Outcome {
    enum class Kind {
      answered,  // `message` is the method return or the error
      timedOut,  // nothing came back before the deadline
      closed,    // the bus refused the greeting or hung up
      garbled,   // what came back breaks the protocol
    };
    Kind kind = Kind::closed;
    Message message;
  };

  // Sends `call` and waits for its answer until `deadline`; other messages
  // that arrive meanwhile (the bus's signals, the Hello reply) are passed over.
  Outcome call(const MethodCall& call, std::chrono::steady_clock::time_point deadline);

 private:
  explicit BusConnection(posix::UniqueFd socket) : socket_(std::move(socket)) {}

  bool send(const std::vector<std::uint8_t>& bytes);
  // Appends what arrives to `received_`: nothing when some came, else how
  // the call ends (the deadline passed, or the bus hung up).
  std::optional<Outcome> receive(std::chrono::steady_clock::time_point deadline);
  // Takes the authentication answers off the front of `received_`: true once
  // accepted, false when refused, absent while incomplete.
  std::optional<bool> takeAuthenticationAnswer();

  posix::UniqueFd socket_;
  bool authenticated_ = false;
  std::uint32_t nextSerial_ = 1;
  std::vector<std::uint8_t> received_;
};

}  // namespace lumaro::buswire

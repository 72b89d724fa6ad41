#include "adapters/buswire/bus_connection.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>

namespace lumaro::buswire {

namespace {

// Longer than any answer to AUTH; more without a line end is not a bus.
constexpr std::size_t kMaxAuthenticationLine = 16 * 1024;

std::optional<posix::UniqueFd> connectTo(const SocketAddress& address) {
  sockaddr_un name{};
  name.sun_family = AF_UNIX;
  const std::size_t offset = address.abstract ? 1 : 0;  // an abstract name starts with a NUL
  if (address.path.size() + offset >= sizeof name.sun_path) return std::nullopt;
  std::copy(address.path.begin(), address.path.end(), name.sun_path + offset);
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + address.path.size() +
                                             (address.abstract ? 0 : 1));
  // Non-blocking while connecting: a bus daemon that is stopped with its
  // queue of new connections full answers EAGAIN instead of holding the
  // command forever. Blocking again afterwards; the calls poll with a deadline.
  posix::UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!socket.valid()) return std::nullopt;
  int result = 0;
  do {
    result = ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&name), length);
  } while (result < 0 && errno == EINTR);
  if (result < 0) return std::nullopt;
  const int flags = ::fcntl(socket.get(), F_GETFL);
  if (flags < 0 || ::fcntl(socket.get(), F_SETFL, flags & ~O_NONBLOCK) < 0) return std::nullopt;
  return socket;
}

// EXTERNAL without an identity of our own: the bus takes it from the
// socket's credentials, which also holds where our uid is not the bus's
// (user namespaces). The bus answers DATA, our empty DATA gets OK.
constexpr char kAuthenticationText[] = "\0AUTH EXTERNAL\r\nDATA\r\n";
constexpr std::string_view kAuthentication{kAuthenticationText, sizeof kAuthenticationText - 1};
constexpr std::string_view kBegin = "BEGIN\r\n";

MethodCall hello() {
  return {.destination = "org.freedesktop.DBus",
          .path = "/org/freedesktop/DBus",
          .interface = "org.freedesktop.DBus",
          .member = "Hello",
          .arguments = {},
          .autoStart = true};
}

}  // namespace

std::unique_ptr<BusConnection> BusConnection::open(const std::vector<SocketAddress>& sockets) {
  for (const SocketAddress& address : sockets) {
    if (auto socket = connectTo(address)) return std::unique_ptr<BusConnection>(new BusConnection(std::move(*socket)));
  }
  return nullptr;
}

BusConnection::Outcome BusConnection::call(const MethodCall& call, std::chrono::steady_clock::time_point deadline) {
  std::vector<std::uint8_t> out;
  if (!authenticated_) {
    // BEGIN waits for OK, as every client library does: a bus need not take
    // messages pipelined behind an authentication it has not yet accepted.
    // Hello and the call then go with BEGIN, in one write.
    if (!send({kAuthentication.begin(), kAuthentication.end()})) return {Outcome::Kind::closed, {}};
    for (;;) {
      if (const auto accepted = takeAuthenticationAnswer()) {
        if (!*accepted) return {Outcome::Kind::closed, {}};
        break;
      }
      if (auto ended = receive(deadline)) return std::move(*ended);
    }
    authenticated_ = true;
    out.assign(kBegin.begin(), kBegin.end());
    const auto message = encodeMethodCall(hello(), nextSerial_++);
    out.insert(out.end(), message.begin(), message.end());
  }
  const std::uint32_t serial = nextSerial_++;
  const auto message = encodeMethodCall(call, serial);
  out.insert(out.end(), message.begin(), message.end());
  if (!send(out)) return {Outcome::Kind::closed, {}};

  for (;;) {
    while (received_.size() >= kFixedHeaderSize) {
      const auto size = messageSize(received_);
      if (!size) return {Outcome::Kind::garbled, {}};
      if (received_.size() < *size) break;
      auto answer = decodeMessage(std::span(received_).first(*size));
      received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(*size));
      if (!answer) return {Outcome::Kind::garbled, {}};
      const bool isAnswer = answer->type == Message::Type::methodReturn || answer->type == Message::Type::error;
      if (isAnswer && answer->replySerial == serial) return {Outcome::Kind::answered, std::move(*answer)};
    }
    if (auto ended = receive(deadline)) return std::move(*ended);
  }
}

bool BusConnection::send(const std::vector<std::uint8_t>& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t wrote = ::send(socket_.get(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    sent += static_cast<std::size_t>(wrote);
  }
  return true;
}

std::optional<BusConnection::Outcome> BusConnection::receive(std::chrono::steady_clock::time_point deadline) {
  const Outcome closed{Outcome::Kind::closed, {}};
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return Outcome{Outcome::Kind::timedOut, {}};
    pollfd watched{.fd = socket_.get(), .events = POLLIN, .revents = 0};
    const int ready = ::poll(&watched, 1, static_cast<int>(std::min<std::int64_t>(left.count(), 60'000)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return closed;
    if (ready == 0) continue;  // the loop's check says whether the deadline has passed
    std::array<std::uint8_t, 64 * 1024> buffer;  // only the bytes received are read
    const ssize_t got = ::recv(socket_.get(), buffer.data(), buffer.size(), 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return closed;
    received_.insert(received_.end(), buffer.begin(), buffer.begin() + got);
    return std::nullopt;
  }
}

std::optional<bool> BusConnection::takeAuthenticationAnswer() {
  constexpr std::string_view kLineEnd = "\r\n";
  for (;;) {
    const auto end = std::search(received_.begin(), received_.end(), kLineEnd.begin(), kLineEnd.end());
    if (end == received_.end()) {
      if (received_.size() > kMaxAuthenticationLine) return false;
      return std::nullopt;
    }
    const std::string line(received_.begin(), end);
    received_.erase(received_.begin(), end + static_cast<std::ptrdiff_t>(kLineEnd.size()));
    // The challenge our empty DATA already answered.
    if (line == "DATA" || line.starts_with("DATA ")) continue;
    return line.starts_with("OK ");
  }
}

}  // namespace lumaro::buswire

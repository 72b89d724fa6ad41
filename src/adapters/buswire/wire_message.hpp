#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "adapters/buswire/wire_value.hpp"

// D-Bus messages as bytes on the socket: the calls a client sends, and the
// replies, errors and signals it reads back.
namespace lumaro::buswire {

// Largest message the protocol allows; anything claiming more is garbage.
inline constexpr std::size_t kMaxMessageSize = 128u << 20;
// The fixed start of every message, which tells its whole size.
inline constexpr std::size_t kFixedHeaderSize = 16;

struct MethodCall {
  std::string destination;  // empty: the call goes to no name (peer to peer)
  std::string path;
  std::string interface;
  std::string member;
  std::vector<std::variant<std::string, double>> arguments;  // body: s and d only
  bool autoStart = true;  // false: a name nobody owns is answered at once, nothing started
};

// The call as little-endian bytes with `serial`.
std::vector<std::uint8_t> encodeMethodCall(const MethodCall& call, std::uint32_t serial);

struct Message {
  enum class Type : std::uint8_t { methodCall = 1, methodReturn = 2, error = 3, signal = 4 };
  Type type = Type::methodReturn;
  std::uint32_t serial = 0;
  std::optional<std::uint32_t> replySerial;
  std::optional<std::string> errorName;
  WireList body;
};

// The size of the whole message that starts with these bytes (at least
// kFixedHeaderSize of them); absent when they cannot start a message.
std::optional<std::size_t> messageSize(std::span<const std::uint8_t> start);

// One whole message; absent when it breaks the protocol.
std::optional<Message> decodeMessage(std::span<const std::uint8_t> bytes);

}  // namespace lumaro::buswire

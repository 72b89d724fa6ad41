#include "adapters/buswire/wire_message.hpp"

#include <bit>

namespace lumaro::buswire {

namespace {

constexpr std::uint8_t kProtocolVersion = 1;
constexpr std::uint8_t kNoAutoStart = 0x2;

enum HeaderField : std::uint8_t {
  kPath = 1,
  kInterface = 2,
  kMember = 3,
  kErrorName = 4,
  kReplySerial = 5,
  kDestination = 6,
  kSignature = 8,
};

std::size_t padded(std::size_t size, std::size_t alignment) { return (size + alignment - 1) / alignment * alignment; }

class Writer {
 public:
  void align(std::size_t alignment) { bytes_.resize(padded(bytes_.size(), alignment), 0); }
  void byte(std::uint8_t value) { bytes_.push_back(value); }
  void u32(std::uint32_t value) {
    align(4);
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void f64(double value) {
    align(8);
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  }
  void string(const std::string& text) {
    u32(static_cast<std::uint32_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
  }
  void signature(const std::string& text) {
    byte(static_cast<std::uint8_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
  }
  // One (yv) of the header's field array.
  void field(HeaderField code, char type, const std::string& text) {
    align(8);
    byte(code);
    signature(std::string(1, type));
    if (type == 'g') {
      signature(text);
    } else {
      string(text);
    }
  }
  void setU32(std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  std::size_t size() const { return bytes_.size(); }
  std::vector<std::uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

std::uint32_t readU32(std::span<const std::uint8_t> bytes, std::size_t at, ByteOrder order) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t shift = order == ByteOrder::little ? i : 3 - i;
    value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * shift);
  }
  return value;
}

std::optional<ByteOrder> orderOf(std::uint8_t mark) {
  if (mark == 'l') return ByteOrder::little;
  if (mark == 'B') return ByteOrder::big;
  return std::nullopt;
}

}  // namespace

std::vector<std::uint8_t> encodeMethodCall(const MethodCall& call, std::uint32_t serial) {
  std::string signature;
  for (const auto& argument : call.arguments) signature += std::holds_alternative<std::string>(argument) ? 's' : 'd';

  Writer message;
  message.byte('l');
  message.byte(static_cast<std::uint8_t>(Message::Type::methodCall));
  message.byte(call.autoStart ? 0 : kNoAutoStart);
  message.byte(kProtocolVersion);
  message.u32(0);  // body length, known below
  message.u32(serial);
  message.u32(0);  // field array length, known below
  const std::size_t fieldsStart = padded(message.size(), 8);
  message.field(kPath, 'o', call.path);
  if (!call.interface.empty()) message.field(kInterface, 's', call.interface);
  message.field(kMember, 's', call.member);
  if (!call.destination.empty()) message.field(kDestination, 's', call.destination);
  if (!signature.empty()) message.field(kSignature, 'g', signature);
  message.setU32(12, static_cast<std::uint32_t>(message.size() - fieldsStart));
  message.align(8);
  const std::size_t bodyStart = message.size();
  for (const auto& argument : call.arguments) {
    if (const auto* text = std::get_if<std::string>(&argument)) {
      message.string(*text);
    } else {
      message.f64(std::get<double>(argument));
    }
  }
  message.setU32(4, static_cast<std::uint32_t>(message.size() - bodyStart));
  return message.take();
}

std::optional<std::size_t> messageSize(std::span<const std::uint8_t> start) {
  if (start.size() < kFixedHeaderSize) return std::nullopt;
  const auto order = orderOf(start[0]);
  if (!order || start[3] != kProtocolVersion) return std::nullopt;
  const std::size_t bodyLength = readU32(start, 4, *order);
  const std::size_t fieldsLength = readU32(start, 12, *order);
  if (bodyLength > kMaxMessageSize || fieldsLength > kMaxMessageSize) return std::nullopt;
  const std::size_t size = padded(kFixedHeaderSize + fieldsLength, 8) + bodyLength;
  if (size > kMaxMessageSize) return std::nullopt;
  return size;
}

std::optional<Message> decodeMessage(std::span<const std::uint8_t> bytes) {
  const auto size = messageSize(bytes);
  if (!size || *size != bytes.size()) return std::nullopt;
  const auto order = *orderOf(bytes[0]);
  const std::size_t headerSize = kFixedHeaderSize + readU32(bytes, 12, order);
  const auto header = decodeBody("yyyyuua(yv)", bytes.first(headerSize), order);
  if (!header) return std::nullopt;
  const auto type = std::get<std::int64_t>((*header)[1].value);
  if (type < 1 || type > 4) return std::nullopt;

  Message message;
  message.type = static_cast<Message::Type>(type);
  message.serial = static_cast<std::uint32_t>(std::get<std::int64_t>((*header)[5].value));
  if (message.serial == 0) return std::nullopt;
  std::string signature;
  for (const WireValue& field : std::get<WireList>((*header)[6].value)) {
    const auto& pair = std::get<WireList>(field.value);
    const auto code = std::get<std::int64_t>(pair[0].value);
    const auto& value = pair[1].value;
    if (code == kReplySerial) {
      const auto* serial = std::get_if<std::int64_t>(&value);
      if (serial == nullptr) return std::nullopt;
      message.replySerial = static_cast<std::uint32_t>(*serial);
    } else if (code == kErrorName || code == kSignature) {
      const auto* text = std::get_if<std::string>(&value);
      if (text == nullptr) return std::nullopt;
      if (code == kErrorName) {
        message.errorName = *text;
      } else {
        signature = *text;
      }
    }
  }
  if (message.type == Message::Type::error && !message.errorName) return std::nullopt;
  const std::size_t bodyStart = padded(headerSize, 8);
  auto body = decodeBody(signature, bytes.subspan(bodyStart), order);
  if (!body) return std::nullopt;
  message.body = std::move(*body);
  return message;
}

}  // namespace lumaro::buswire

// The wire format the command line reads a running instance's answers in:
// values and messages as the bytes arrive, malformed bytes refused whole,
// and the session bus's address as the environment gives it.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "adapters/buswire/bus_address.hpp"
#include "adapters/buswire/wire_message.hpp"
#include "wire_bytes.hpp"

namespace lumaro::buswire {
namespace {

using testing::WireBytes;

WireValue text(std::string s) { return WireValue{std::move(s)}; }
WireValue integer(std::int64_t i) { return WireValue{i}; }
WireValue list(WireList l) { return WireValue{std::move(l)}; }

TEST(WireValues, DecodeEachTypeAtItsAlignment) {
  // An instance's display record: a{sv} holding a u, a d after padding, a
  // string, a bool and a nested a{ss}; then a signed byte-order check.
  WireBytes b;
  const auto dict = b.begin(8);
  b.align(8).s("number").g("u").u(2);
  b.align(8).s("brightness").g("d").d(0.75);
  b.align(8).s("name").g("s").s("LED Cinema Display");
  b.align(8).s("failedRead").g("b").u(1);
  b.align(8).s("edid").g("a{ss}");
  const auto inner = b.begin(8);
  b.align(8).s("manufacturer").s("Apple");
  b.end(inner);
  b.end(dict);
  b.y(7).align(2).y(0xFE).y(0xFF);  // y, then n = -2

  const auto values = decodeBody("a{sv}yn", b.bytes, ByteOrder::little);
  ASSERT_TRUE(values);
  ASSERT_EQ(values->size(), 3u);
  const WireValue& record = (*values)[0];
  EXPECT_EQ(dictMember<std::int64_t>(record, "number"), 2);
  EXPECT_EQ(dictMember<double>(record, "brightness"), 0.75);
  EXPECT_EQ(dictMember<std::string>(record, "name"), "LED Cinema Display");
  EXPECT_EQ(dictMember<bool>(record, "failedRead"), true);
  EXPECT_EQ(dictMember<std::string>(record, "number"), std::nullopt);  // present, but not a string
  EXPECT_EQ(dictMember<std::int64_t>(record, "missing"), std::nullopt);
  const auto edid = dictMember<WireList>(record, "edid");
  ASSERT_TRUE(edid);
  EXPECT_EQ(dictMember<std::string>(WireValue{*edid}, "manufacturer"), "Apple");
  EXPECT_EQ((*values)[1], integer(7));
  EXPECT_EQ((*values)[2], integer(-2));

  const std::vector<std::uint8_t> one{0, 0, 0, 1};
  EXPECT_EQ(decodeBody("u", one, ByteOrder::big), (WireList{integer(1)}));
  EXPECT_EQ(decodeBody("u", one, ByteOrder::little), (WireList{integer(1 << 24)}));
  const std::vector<std::uint8_t> empty;
  EXPECT_EQ(decodeBody("", empty, ByteOrder::little), WireList{});
  // A struct of a string and an empty array of structs (padding still present).
  WireBytes s;
  s.s("x");
  const auto none = s.begin(8);
  s.end(none);
  EXPECT_EQ(decodeBody("(sa(ii))", s.bytes, ByteOrder::little), (WireList{list({text("x"), list({})})}));
}

TEST(WireValues, RefuseBytesThatDoNotHoldTheSignature) {
  const auto bytes = [](WireBytes b) { return b.bytes; };
  std::vector<std::uint8_t> noNul = bytes(WireBytes().s("abc"));
  noNul.back() = 'x';
  std::vector<std::uint8_t> innerNul = bytes(WireBytes().s("abc"));
  innerNul[5] = 0;
  std::string deep(65, 'a');
  deep += 'u';
  const struct {
    const char* what;
    std::string signature;
    std::vector<std::uint8_t> body;
  } cases[] = {
      {"string without its NUL", "s", noNul},
      {"NUL inside a string", "s", innerNul},
      {"string longer than the body", "s", {200, 0, 0, 0, 'a', 0}},
      {"boolean other than 0 or 1", "b", {2, 0, 0, 0}},
      {"array longer than the body", "au", {100, 0, 0, 0, 1, 0, 0, 0}},
      {"array whose element runs past its length", "au", {2, 0, 0, 0, 1, 0, 0, 0}},
      {"array claiming more than D-Bus allows", "ay", {0, 0, 0, 0x10}},
      {"double cut short", "d", {0, 0, 0, 0}},
      {"bytes left over", "u", {1, 0, 0, 0, 0, 0, 0, 0}},
      {"variant holding two types", "v", bytes(WireBytes().g("ss").s("a").s("b"))},
      {"variant with no type", "v", bytes(WireBytes().g("").u(1))},
      {"variant holding an unknown type", "v", bytes(WireBytes().g("z").u(1))},
      {"nesting deeper than D-Bus allows", deep, bytes(WireBytes().u(0))},
      {"dict entry outside an array", "{su}", bytes(WireBytes().s("a").u(1))},
      {"dict entry with a container key", "a{vs}", bytes(WireBytes().u(0))},
      {"empty struct", "()", {}},
      {"unclosed struct", "(u", bytes(WireBytes().u(1))},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(decodeBody(c.signature, c.body, ByteOrder::little), std::nullopt) << c.what;
  }
}

TEST(WireMessages, ACallIsReadBackAsWrittenAndRepliesAreFramedByTheirHeader) {
  const MethodCall call{.destination = "io.github.lumaro.Lumaro",
                        .path = "/io/github/lumaro/Lumaro",
                        .interface = "io.github.lumaro.Lumaro2",
                        .member = "SetBrightness",
                        .arguments = {std::string("2A1133WZ6JL"), 0.37},
                        .autoStart = false};
  const auto bytes = encodeMethodCall(call, 9);
  EXPECT_EQ(bytes[2], 0x2) << "no auto-start flag";
  EXPECT_EQ(messageSize(bytes), bytes.size());
  const auto decoded = decodeMessage(bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->type, Message::Type::methodCall);
  EXPECT_EQ(decoded->serial, 9u);
  EXPECT_EQ(decoded->body, (WireList{text("2A1133WZ6JL"), WireValue{0.37}}));

  const auto error = testing::wireMessage(3, 4,
                                          {{4, 's', "io.github.lumaro.Lumaro2.Error.NoSuchDisplay"},
                                           {5, 'u', "", 2},
                                           {8, 'g', "s"}},
                                          WireBytes().s("no display '3'").bytes);
  const auto reply = decodeMessage(error);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->type, Message::Type::error);
  EXPECT_EQ(reply->replySerial, 2u);
  EXPECT_EQ(reply->errorName, "io.github.lumaro.Lumaro2.Error.NoSuchDisplay");
  EXPECT_EQ(reply->body, WireList{text("no display '3'")});

  const auto broken = [&](auto change) {
    auto copy = error;
    change(copy);
    return copy;
  };
  EXPECT_EQ(messageSize(broken([](auto& b) { b[3] = 2; })), std::nullopt) << "protocol version 2";
  EXPECT_EQ(messageSize(broken([](auto& b) { b[0] = 'x'; })), std::nullopt) << "no byte order";
  EXPECT_EQ(messageSize(broken([](auto& b) { b[7] = 0x10; })), std::nullopt) << "body over the limit";
  EXPECT_EQ(decodeMessage(broken([](auto& b) { b.pop_back(); })), std::nullopt) << "cut short";
  EXPECT_EQ(decodeMessage(broken([](auto& b) { b[8] = 0; })), std::nullopt) << "serial 0";
  EXPECT_EQ(decodeMessage(broken([](auto& b) { b[1] = 9; })), std::nullopt) << "unknown type";
  EXPECT_EQ(decodeMessage(testing::wireMessage(3, 4, {{5, 'u', "", 2}}, {})), std::nullopt) << "error without a name";
  EXPECT_EQ(decodeMessage(testing::wireMessage(2, 4, {{5, 's', "2"}}, {})), std::nullopt) << "reply serial as text";
  EXPECT_EQ(decodeMessage(testing::wireMessage(2, 4, {{5, 'u', "", 2}, {8, 'g', "u"}}, {})), std::nullopt)
      << "body shorter than its signature";
}

std::vector<std::uint8_t> captured(const std::string& name) {
  std::ifstream file(std::string(LUMARO_FIXTURES_DIR) + "/bus/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Answers of the demo tray (Qt's D-Bus marshalling) as a dbus-daemon passed
// them on: see tests/fixtures/README.md.
TEST(WireMessages, TheTraysRealAnswersDecode) {
  const auto list = decodeMessage(captured("list-reply.bin"));
  ASSERT_TRUE(list);
  EXPECT_EQ(list->type, Message::Type::methodReturn);
  EXPECT_EQ(list->replySerial, 2u);
  ASSERT_EQ(list->body.size(), 1u);
  const auto& records = std::get<WireList>(list->body[0].value);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(dictMember<std::int64_t>(records[0], "number"), 1);
  EXPECT_EQ(dictMember<std::string>(records[0], "id"), "2A1133WZ6JL");
  EXPECT_EQ(dictMember<std::string>(records[0], "name"), "LED Cinema Display");
  EXPECT_EQ(dictMember<std::int64_t>(records[0], "vendorId"), 0x05AC);
  EXPECT_EQ(dictMember<std::int64_t>(records[1], "productId"), 0x9221);
  EXPECT_TRUE(dictMember<double>(records[1], "brightness"));

  const auto info = decodeMessage(captured("info-reply.bin"));
  ASSERT_TRUE(info);
  ASSERT_EQ(info->body.size(), 1u);
  const auto edid = dictMember<WireList>(info->body[0], "edid");
  ASSERT_TRUE(edid);
  EXPECT_EQ(dictMember<std::string>(WireValue{*edid}, "manufacturer"), "APP");

  const auto missing = decodeMessage(captured("no-such-display-error.bin"));
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->errorName, "io.github.lumaro.Lumaro2.Error.NoSuchDisplay");

  for (const char* name : {"hello-reply.bin", "name-acquired-signal.bin", "set-reply.bin"}) {
    const auto bytes = captured(name);
    EXPECT_EQ(messageSize(bytes), bytes.size()) << name;
    EXPECT_TRUE(decodeMessage(bytes)) << name;
  }
}

TEST(BusAddress, TheSessionBusIsFoundAsTheEnvironmentNamesIt) {
  EXPECT_EQ(unixSockets("unix:path=/run/user/1000/bus"), (std::vector<SocketAddress>{{"/run/user/1000/bus", false}}));
  EXPECT_EQ(unixSockets("unix:abstract=/tmp/dbus-Xq,guid=0123"), (std::vector<SocketAddress>{{"/tmp/dbus-Xq", true}}));
  EXPECT_EQ(unixSockets("tcp:host=localhost,port=1;unix:path=/tmp/a%20b%2c;unix:path=/c"),
            (std::vector<SocketAddress>{{"/tmp/a b,", false}, {"/c", false}}));
  EXPECT_EQ(unixSockets("unix:path=/a%2"), std::vector<SocketAddress>{}) << "cut escape";
  EXPECT_EQ(unixSockets("unix:path=/a%zz"), std::vector<SocketAddress>{}) << "bad escape";
  EXPECT_EQ(unixSockets("unix:path=/a,abstract=/b"), std::vector<SocketAddress>{}) << "two sockets in one entry";
  EXPECT_EQ(unixSockets("unix:guid=1"), std::vector<SocketAddress>{});
  EXPECT_EQ(unixSockets("unix:path"), std::vector<SocketAddress>{});
  EXPECT_EQ(unixSockets(""), std::vector<SocketAddress>{});

  EXPECT_EQ(sessionBusSockets("unix:path=/x", "/run/user/5"), (std::vector<SocketAddress>{{"/x", false}}));
  EXPECT_EQ(sessionBusSockets(std::nullopt, "/run/user/5"), (std::vector<SocketAddress>{{"/run/user/5/bus", false}}));
  EXPECT_EQ(sessionBusSockets("", "/run/user/5"), (std::vector<SocketAddress>{{"/run/user/5/bus", false}}));
  EXPECT_EQ(sessionBusSockets(std::nullopt, std::nullopt), std::vector<SocketAddress>{});
}

}  // namespace
}  // namespace lumaro::buswire

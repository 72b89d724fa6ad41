// The command line's connection to the session bus against a scripted bus on
// a Unix socket: after the authentication, Hello and the call go out in one
// write; the answer is picked out of whatever else arrives and however it is
// cut; and a bus that refuses, hangs up, stays silent, sends garbage or
// accepts nobody ends the call (or the connecting) instead of answering or
// hanging.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "adapters/buswire/bus_connection.hpp"
#include "adapters/buswire/bus_display_commands.hpp"
#include "scratch_dir.hpp"
#include "wire_bytes.hpp"

namespace lumaro::buswire {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes ascii(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A Unix socket listening at `address` with room for `backlog` connections
// not yet accepted.
posix::UniqueFd listeningOn(const SocketAddress& address, int backlog) {
  posix::UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_un name{};
  name.sun_family = AF_UNIX;
  address.path.copy(name.sun_path, sizeof name.sun_path - 1);
  if (::bind(listener.get(), reinterpret_cast<sockaddr*>(&name), sizeof name) != 0 ||
      ::listen(listener.get(), backlog) != 0) {
    ADD_FAILURE() << "cannot listen on " << address.path;
  }
  return listener;
}

// One connection's worth of a bus: it waits for the client's first words,
// sends `chunks` one write each, and hangs up; or, with `linger`, keeps
// everything the client sends until the client goes.
class ScriptedBus {
 public:
  ScriptedBus(std::vector<Bytes> chunks, bool linger = false) {
    address_ = {(dir_.path() / "bus").string(), false};
    listener_ = listeningOn(address_, 1);
    thread_ = std::thread([this, chunks = std::move(chunks), linger] {
      posix::UniqueFd client(::accept(listener_.get(), nullptr, nullptr));
      std::vector<std::uint8_t> buffer(4096);
      ssize_t got = ::recv(client.get(), buffer.data(), buffer.size(), 0);
      if (got > 0) firstWords = received = Bytes(buffer.begin(), buffer.begin() + got);
      for (const Bytes& chunk : chunks) {
        (void)::send(client.get(), chunk.data(), chunk.size(), MSG_NOSIGNAL);
        std::this_thread::sleep_for(1ms);
      }
      while (linger && (got = ::recv(client.get(), buffer.data(), buffer.size(), 0)) > 0) {
        received.insert(received.end(), buffer.begin(), buffer.begin() + got);
      }
    });
  }
  ~ScriptedBus() { finish(); }
  // Waits until the bus has hung up or the client has gone; then `received` is whole.
  void finish() {
    if (thread_.joinable()) thread_.join();
  }

  const SocketAddress& address() const { return address_; }
  Bytes firstWords;  // what came before the bus said anything
  Bytes received;    // everything

 private:
  lumaro::testing::ScratchDir dir_;
  SocketAddress address_;
  posix::UniqueFd listener_;
  std::thread thread_;
};

MethodCall listCall() {
  return {.destination = "io.github.lumaro.Lumaro.Demo",
          .path = "/io/github/lumaro/Lumaro",
          .interface = "io.github.lumaro.Lumaro2",
          .member = "List",
          .arguments = {},
          .autoStart = false};
}

BusConnection::Outcome callOn(ScriptedBus& bus, std::chrono::milliseconds wait = 5s) {
  auto connection = BusConnection::open({{"/nonexistent/socket", false}, bus.address()});
  if (!connection) return {BusConnection::Outcome::Kind::closed, {}};
  return connection->call(listCall(), std::chrono::steady_clock::now() + wait);
}

TEST(BusConnection, AuthenticatesThenFindsItsAnswerAmongOtherMessagesCutAnywhere) {
  const Bytes signal = testing::wireMessage(4, 1, {{1, 'o', "/org/freedesktop/DBus"}, {3, 's', "NameAcquired"}}, {});
  const Bytes helloReply =
      testing::wireMessage(2, 2, {{5, 'u', "", 1}, {8, 'g', "s"}}, testing::WireBytes().s(":1.7").bytes);
  const Bytes otherReply = testing::wireMessage(2, 3, {{5, 'u', "", 99}}, {});
  const Bytes answer = testing::wireMessage(3, 4, {{4, 's', "io.github.lumaro.Lumaro2.Error.NoSuchDisplay"}, {5, 'u', "", 2}, {8, 'g', "s"}},
                                            testing::WireBytes().s("no display '3'").bytes);
  Bytes stream = ascii("DATA\r\nOK 0123456789abcdef\r\n");
  for (const Bytes* message : {&signal, &helloReply, &otherReply, &answer}) {
    stream.insert(stream.end(), message->begin(), message->end());
  }
  // Cut into pieces of 7 bytes, so lines and headers straddle reads.
  std::vector<Bytes> chunks;
  for (std::size_t at = 0; at < stream.size(); at += 7) {
    chunks.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(at),
                        stream.begin() + static_cast<std::ptrdiff_t>(std::min(stream.size(), at + 7)));
  }
  ScriptedBus bus(chunks, true);
  const auto outcome = callOn(bus);

  ASSERT_EQ(outcome.kind, BusConnection::Outcome::Kind::answered);
  EXPECT_EQ(outcome.message.type, Message::Type::error);
  EXPECT_EQ(outcome.message.errorName, "io.github.lumaro.Lumaro2.Error.NoSuchDisplay");
  EXPECT_EQ(outcome.message.body, WireList{WireValue{std::string("no display '3'")}});

  bus.finish();
  // What went out: the authentication alone, leaving the identity to the
  // socket's credentials; after OK, BEGIN with Hello and the call.
  const std::string authentication("\0AUTH EXTERNAL\r\nDATA\r\n", 22);
  EXPECT_EQ(std::string(bus.firstWords.begin(), bus.firstWords.end()), authentication);
  const std::string expected = authentication + "BEGIN\r\n";
  ASSERT_GE(bus.received.size(), expected.size());
  ASSERT_EQ(std::string(bus.received.begin(), bus.received.begin() + static_cast<std::ptrdiff_t>(expected.size())),
            expected);
  Bytes rest(bus.received.begin() + static_cast<std::ptrdiff_t>(expected.size()), bus.received.end());
  const auto helloSize = messageSize(rest);
  ASSERT_TRUE(helloSize);
  const auto hello = decodeMessage(std::span(rest).first(*helloSize));
  ASSERT_TRUE(hello);
  EXPECT_EQ(hello->serial, 1u);
  const auto call = decodeMessage(std::span(rest).subspan(*helloSize));
  ASSERT_TRUE(call) << "the call follows Hello in the same write";
  EXPECT_EQ(call->serial, 2u);
}

TEST(BusConnection, ABusThatRefusesHangsUpStaysSilentOrSendsGarbageGivesNoAnswer) {
  using Kind = BusConnection::Outcome::Kind;
  const Bytes ok = ascii("OK 0123456789abcdef\r\n");
  Bytes huge = testing::wireMessage(2, 2, {{5, 'u', "", 2}}, {});
  huge[7] = 0x7F;  // claims a body of about 2 GiB
  const struct {
    const char* what;
    std::vector<Bytes> chunks;
    bool linger;
    Kind expected;
  } cases[] = {
      {"refused", {ascii("REJECTED EXTERNAL\r\n")}, false, Kind::closed},
      {"hung up after accepting", {ok}, false, Kind::closed},
      {"hung up before a word", {}, false, Kind::closed},
      {"an endless first line", {Bytes(20000, 'O')}, true, Kind::closed},
      {"silent after accepting", {ok}, true, Kind::timedOut},
      {"garbage after accepting", {ok, Bytes(16, 'X')}, true, Kind::garbled},
      {"a message claiming 2 GiB", {ok, huge}, true, Kind::garbled},
  };
  for (const auto& c : cases) {
    ScriptedBus bus(c.chunks, c.linger);
    EXPECT_EQ(callOn(bus, 300ms).kind, c.expected) << c.what;
  }
  EXPECT_EQ(BusConnection::open({{"/nonexistent/socket", false}}), nullptr);

  // A bus daemon that accepts nobody (stopped) with its queue of new
  // connections full: the command goes on without it instead of hanging.
  lumaro::testing::ScratchDir dir;
  const SocketAddress stopped{(dir.path() / "stopped").string(), false};
  const posix::UniqueFd listener = listeningOn(stopped, 0);
  std::vector<std::unique_ptr<BusConnection>> queued;
  for (int i = 0; i < 4; ++i) queued.push_back(BusConnection::open({stopped}));
  EXPECT_NE(queued.front(), nullptr) << "the first connection waits in the queue";
  EXPECT_EQ(queued.back(), nullptr) << "the queue is full";
  EXPECT_EQ(BusConnection::open({{std::string(200, 'x'), false}}), nullptr) << "too long for a socket name";
}

// What a command makes of each answer: only a bus with nobody behind the
// name sends it to the hardware; anything else from a running instance is
// said as it is, never as no instance or an empty list.
TEST(BusDisplayCommands, OnlyANameNobodyOwnsSendsTheCommandToTheHardware) {
  using ErrorKind = CommandError::Kind;
  const Bytes ok = ascii("OK 0123456789abcdef\r\n");
  const auto error = [&](const std::string& name, const std::string& text) {
    Bytes stream = ok;
    const Bytes message = testing::wireMessage(3, 9, {{4, 's', name}, {5, 'u', "", 2}, {8, 'g', "s"}},
                                               testing::WireBytes().s(text).bytes);
    stream.insert(stream.end(), message.begin(), message.end());
    return stream;
  };
  Bytes notARecordList = ok;
  const Bytes textReply = testing::wireMessage(2, 9, {{5, 'u', "", 2}, {8, 'g', "s"}}, testing::WireBytes().s("1").bytes);
  notARecordList.insert(notARecordList.end(), textReply.begin(), textReply.end());

  const struct {
    const char* what;
    Bytes answer;
    ErrorKind kind;
    std::string says;
  } cases[] = {
      {"nobody owns the name", error("org.freedesktop.DBus.Error.ServiceUnknown", "no owner"), ErrorKind::noInstance,
       "no running Lumaro owns io.github.lumaro.Lumaro.Demo"},
      {"the bus hangs up", ok, ErrorKind::noInstance, "no running Lumaro owns io.github.lumaro.Lumaro.Demo"},
      {"the display is unknown", error("io.github.lumaro.Lumaro2.Error.NoSuchDisplay", "no display '3'"),
       ErrorKind::noSuchDisplay, "no display '3'"},
      {"the instance fails the call", error("org.freedesktop.DBus.Error.InvalidArgs", "bad value"),
       ErrorKind::unanswered, "the running Lumaro (io.github.lumaro.Lumaro.Demo) failed the call: bad value"},
      {"garbage comes back", [&] {
         Bytes stream = ok;
         stream.insert(stream.end(), 16, 'X');
         return stream;
       }(),
       ErrorKind::unanswered, "the running Lumaro sent an answer this command cannot read"},
      {"the answer is not a list of records", notARecordList, ErrorKind::unanswered,
       "the running Lumaro sent an answer this command cannot read"},
  };
  for (const auto& c : cases) {
    ScriptedBus bus({c.answer}, c.kind != ErrorKind::noInstance);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + bus.address().path).c_str(), 1);
    auto commands = BusDisplayCommands::connectTo("io.github.lumaro.Lumaro.Demo");
    ASSERT_NE(commands, nullptr) << c.what;
    const auto answer = commands->list();
    const auto* failed = std::get_if<CommandError>(&answer);
    ASSERT_NE(failed, nullptr) << c.what;
    EXPECT_EQ(*failed, (CommandError{c.kind, c.says})) << c.what;
  }
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

}  // namespace
}  // namespace lumaro::buswire

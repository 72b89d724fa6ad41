// lumaro-demo as separate processes on a private session bus: commands reach
// the running instance and come back unchanged, a second start activates the
// first, and without a bus both the tray and the command line still work.
// What each command prints is the command runner's suite's business.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QProcess>
#include <QSignalSpy>
#include <memory>
#include <sstream>

#include "cli/command_runner.hpp"
#include "adapters/dbus/dbus_names.hpp"
#include "adapters/dbus/session_bus_instance.hpp"

namespace lumaro::dbus {
namespace {

const QString kBusName = QString::fromLatin1(kDemoBusName);

struct Finished {
  int status = -1;
  QString out;
  QString err;
};

// A dbus-daemon of our own, so tests neither see nor disturb the user's session.
class PrivateBus {
 public:
  PrivateBus() {
    daemon_.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
    if (daemon_.waitForStarted(5000) && daemon_.waitForReadyRead(5000)) {
      address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
  }
  ~PrivateBus() {
    daemon_.kill();
    daemon_.waitForFinished();
  }
  const QString& address() const { return address_; }

 private:
  QProcess daemon_;
  QString address_;
};

class SessionBus : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(bus_.address().isEmpty()) << "dbus-daemon did not start"; }

  QProcessEnvironment environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_.isEmpty() ? bus_.address() : busAddress_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
  }

  std::unique_ptr<QProcess> startDemo(const QStringList& arguments = {}) const {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment());
    process->start(QStringLiteral(LUMARO_DEMO_PATH), arguments);
    process->waitForStarted(5000);
    return process;
  }

  // Runs the event loop meanwhile: the instance may be this process.
  Finished runDemo(const QStringList& arguments) const {
    auto process = startDemo(arguments);
    QSignalSpy finished(process.get(), &QProcess::finished);
    finished.wait(10000);
    return {process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
            QString::fromUtf8(process->readAllStandardOutput()), QString::fromUtf8(process->readAllStandardError())};
  }

  QDBusConnection connection() {
    // Named after the address: a name already used returns the old connection.
    return QDBusConnection::connectToBus(bus_.address(),
                                         QStringLiteral("%1 #%2").arg(bus_.address()).arg(++connections_));
  }

  PrivateBus bus_;
  QString busAddress_;
  int connections_ = 0;
};

TEST_F(SessionBus, CommandsGoThroughTheRunningInstance) {
  QDBusServiceWatcher watcher(kBusName, connection(), QDBusServiceWatcher::WatchForRegistration);
  QSignalSpy registered(&watcher, &QDBusServiceWatcher::serviceRegistered);
  auto tray = startDemo();
  ASSERT_TRUE(registered.wait(5000)) << "the tray did not take its name";

  const Finished set = runDemo({"set", "1", "30%"});
  EXPECT_EQ(set.status, 0) << set.err.toStdString();
  // The instance's row moved: get reads it back from there.
  EXPECT_EQ(runDemo({"get", "1"}).out, "30%\n");

  tray->terminate();
  tray->waitForFinished(5000);
  const QString trayLines = QString::fromUtf8(tray->readAllStandardOutput());
  EXPECT_EQ(trayLines.count(QStringLiteral("Setting brightness byte: ")), 1) << trayLines.toStdString();
  EXPECT_EQ(trayLines.count(QStringLiteral("Setting brightness byte: 76\n")), 1);
}

// Two displays with every answer scripted: one readable, writable and with an
// EDID; one that may not be read and is gone when written.
class ScriptedDisplays final : public DisplayCommands {
 public:
  std::vector<DisplayStatus> list() override {
    DisplayStatus right{.number = 2, .name = "Right", .productID = 0x9221, .serialNumber = {}, .brightness = {}};
    right.readFailure = DisplayFailure::notPermitted;
    return {{.number = 1, .name = "Left \"1\"", .productID = 0x9226, .serialNumber = "2A1133WZ6JL", .brightness = 0.3f},
            right};
  }
  DisplayFailure setBrightness(std::size_t number, float value) override {
    writes.emplace_back(number, value);
    return number == 1 ? DisplayFailure::none : DisplayFailure::gone;
  }
  std::optional<DisplayEDIDDetails> info(std::size_t number) override {
    if (number != 1) return std::nullopt;
    DisplayEDIDDetails details;
    for (const auto& field : kEDIDFields) details.*field.member = std::string(field.key) + " \u00e9";
    return details;
  }

  std::vector<std::pair<std::size_t, float>> writes;
};

Finished runDirectly(const QStringList& arguments, DisplayCommands& displays) {
  std::vector<std::string> texts;
  for (const QString& argument : arguments) texts.push_back(argument.toStdString());
  const auto parsed = cli::parseCommandLine(std::vector<std::string_view>(texts.begin(), texts.end()));
  std::ostringstream out;
  std::ostringstream err;
  const int status = cli::runCommand(std::get<cli::Command>(parsed), &displays, {"lumaro-demo", "", out, err});
  return {status, QString::fromStdString(out.str()), QString::fromStdString(err.str())};
}

// The bus adds nothing and loses nothing: every command prints, exits and
// writes the same through it as on the instance's displays directly. A second
// start of the application only activates the instance.
TEST_F(SessionBus, AnInstanceAnswersCommandsAsItsDisplaysWouldAndIsActivatedBySecondStarts) {
  ScriptedDisplays behindBus;
  SessionBusInstance instance(kBusName, behindBus, connection());
  ASSERT_EQ(instance.claim().role, SessionBusInstance::Role::primary);
  ScriptedDisplays direct;
  for (const QStringList& arguments :
       {QStringList{"list"}, QStringList{"get", "--json"}, QStringList{"set", "all", "50%"},
        QStringList{"set", "1", "+10%"}, QStringList{"info", "1", "--json"}, QStringList{"info", "2"}}) {
    const Finished expected = runDirectly(arguments, direct);
    const Finished viaBus = runDemo(arguments);
    const std::string command = arguments.join(' ').toStdString();
    EXPECT_EQ(viaBus.status, expected.status) << command;
    EXPECT_EQ(viaBus.out, expected.out) << command;
    EXPECT_EQ(viaBus.err, expected.err) << command;
  }
  EXPECT_EQ(behindBus.writes, direct.writes);

  QSignalSpy activated(&instance, &SessionBusInstance::activationRequested);
  const Finished second = runDemo({});
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(activated.count(), 1);
  EXPECT_TRUE(
      second.err.contains(QStringLiteral("Lumaro is already running (%1, pid %2)").arg(kBusName).arg(::getpid())));
}

TEST_F(SessionBus, WithoutABusTheTrayStartsAndCommandsActDirectly) {
  busAddress_ = QStringLiteral("disabled:");
  const Finished list = runDemo({"list"});
  EXPECT_EQ(list.status, 0) << list.err.toStdString();
  EXPECT_EQ(list.out.count(QLatin1Char('\n')), 2);

  auto tray = startDemo();
  EXPECT_FALSE(tray->waitForFinished(1500)) << "the tray application exited";
  tray->terminate();
  tray->waitForFinished(5000);
  EXPECT_TRUE(QString::fromUtf8(tray->readAllStandardError()).contains(QStringLiteral("no session bus")));
}

}  // namespace
}  // namespace lumaro::dbus

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

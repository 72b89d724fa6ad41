// lumaro-demo as separate processes on a private session bus: commands reach
// the running instance and come back unchanged, a stopped instance is named,
// a second start activates the first, and without a bus both the tray and
// the command line still work. What each command prints is the command
// runner's suite's business; writes to real nodes are the live suite's.

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cmath>
#include <limits>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QProcess>
#include <QSignalSpy>
#include <memory>
#include <sstream>

#include "cli/command_runner.hpp"
#include "private_bus.hpp"
#include "cli/display_selection.hpp"
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

  // Runs the event loop meanwhile: the instance may be this process. A
  // command still running after `limitMs` counts as failed.
  Finished runDemo(const QStringList& arguments, int limitMs = 10000) const {
    auto process = startDemo(arguments);
    QSignalSpy finished(process.get(), &QProcess::finished);
    if (!finished.wait(limitMs)) {
      process->kill();
      process->waitForFinished();
      return {-1, {}, {}};
    }
    return {process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
            QString::fromUtf8(process->readAllStandardOutput()), QString::fromUtf8(process->readAllStandardError())};
  }

  QDBusConnection connection() {
    // Named after the address: a name already used returns the old connection.
    return QDBusConnection::connectToBus(bus_.address(),
                                         QStringLiteral("%1 #%2").arg(bus_.address()).arg(++connections_));
  }

  testing::PrivateBus bus_;
  QString busAddress_;
  int connections_ = 0;
};

// A stopped instance still owns its name, so commands must not fall back to
// the hardware; each says who did not answer instead of printing nothing.
TEST_F(SessionBus, AStoppedInstanceIsNamedNeverTakenForNoDisplay) {
  QDBusServiceWatcher watcher(kBusName, connection(), QDBusServiceWatcher::WatchForRegistration);
  QSignalSpy registered(&watcher, &QDBusServiceWatcher::serviceRegistered);
  auto tray = startDemo();
  ASSERT_TRUE(registered.wait(5000)) << "the tray did not take its name";
  const auto pid = static_cast<pid_t>(tray->processId());
  ::kill(pid, SIGSTOP);
  for (const QStringList& arguments : {QStringList{"list"}, QStringList{"get", "1"}, QStringList{"set", "all", "50%"},
                                       QStringList{"list", "--json"}, QStringList{}}) {
    const Finished finished = runDemo(arguments, 3000);
    EXPECT_EQ(finished.status, 1) << arguments.join(' ').toStdString();
    EXPECT_EQ(finished.out, "") << arguments.join(' ').toStdString();
    EXPECT_TRUE(finished.err.contains(QStringLiteral("pid %1").arg(pid)) &&
                finished.err.contains(QStringLiteral("did not answer within 2 s")))
        << finished.err.toStdString();
  }
  ::kill(pid, SIGCONT);
  tray->terminate();
  tray->waitForFinished(5000);
}

// Two displays with every answer scripted: one readable, writable and with an
// EDID; one that may not be read and is gone when written.
class ScriptedDisplays final : public DisplayCommands {
 public:
  Answer<std::vector<DisplayStatus>> list() override {
    DisplayStatus right{.number = 2,
                        .id = "05ac:9221@14200000",
                        .name = "Right\tside",
                        // A vendor the udev rule does not list: the message names a line.
                        .vendorID = 0x1D5C,
                        .productID = 0x9221,
                        .serialNumber = {},
                        .brightness = {}};
    right.readFailure = DisplayFailure::notPermitted;
    return std::vector<DisplayStatus>{{.number = 1,
                                       .id = "2A1133WZ6JL",
                                       .name = "Left \"1\"",
                                       .vendorID = 0x05AC,
                                       .productID = 0x9226,
                                       .serialNumber = "2A1133WZ6JL",
                                       .brightness = 0.3f},
                                      right};
  }
  Answer<std::vector<WriteOutcome>> setBrightness(const std::optional<std::string>& selector,
                                                  const cli::BrightnessValue& value) override {
    auto chosen = chosenBy(selector);
    if (auto* error = std::get_if<CommandError>(&chosen)) return *error;
    std::vector<WriteOutcome> outcomes;
    for (DisplayStatus& display : std::get<std::vector<DisplayStatus>>(chosen)) {
      const bool unread = !display.brightness && value.kind == cli::BrightnessValue::Kind::relative;
      if (!unread) writes.push_back(value.applyTo(display.brightness.value_or(0.0f)));
      display.brightness = value.applyTo(display.brightness.value_or(0.0f));
      const DisplayFailure failure = display.number == 1 ? DisplayFailure::none : DisplayFailure::gone;
      outcomes.push_back({display, unread ? display.readFailure : failure, unread});
    }
    return outcomes;
  }
  Answer<DisplayInfo> info(const std::string& selector) override {
    auto chosen = chosenBy(selector);
    if (auto* error = std::get_if<CommandError>(&chosen)) return *error;
    DisplayInfo answer{std::get<std::vector<DisplayStatus>>(chosen).front(), std::nullopt};
    if (answer.display.number != 1) return answer;
    DisplayEDIDDetails details;
    for (const auto& field : kEDIDFields) details.*field.member = std::string(field.key) + " \u00e9";
    answer.details = details;
    return answer;
  }

  std::vector<float> writes;

 private:
  Answer<std::vector<DisplayStatus>> chosenBy(const std::optional<std::string>& selector) {
    return cli::selectDisplays(std::get<std::vector<DisplayStatus>>(list()), selector, "lumaro-demo");
  }
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
       {QStringList{"list"}, QStringList{"list", "--json"}, QStringList{"get", "--json"},
        QStringList{"set", "all", "50%"}, QStringList{"set", "2A1133WZ6JL", "+10%"}, QStringList{"set", "2", "-5%"},
        QStringList{"set", "9", "1%"}, QStringList{"info", "1", "--json"}, QStringList{"info", "2"}}) {
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

// What no user could type is refused with an error reply, and nothing is
// written; a display the instance does not have is named in the error.
TEST_F(SessionBus, TheInterfaceRefusesValuesOutOfRangeAndNamesUnknownDisplays) {
  ScriptedDisplays displays;
  SessionBusInstance instance(kBusName, displays, connection());
  ASSERT_EQ(instance.claim().role, SessionBusInstance::Role::primary);
  QDBusConnection caller = connection();
  const auto call = [&](const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(kBusName, QString::fromLatin1(kObjectPath),
                                                          QString::fromLatin1(kDisplaysInterface), method);
    message.setArguments(arguments);
    QDBusPendingCallWatcher watcher(caller.asyncCall(message, 5000));
    QSignalSpy finished(&watcher, &QDBusPendingCallWatcher::finished);
    finished.wait(5000);
    return watcher.reply();
  };
  const double infinity = std::numeric_limits<double>::infinity();
  for (const double value : {-1.0, -infinity, infinity, 1e300, std::nan(""), 1.0000001}) {
    const QDBusMessage reply = call(QStringLiteral("SetBrightness"), {QStringLiteral("1"), value});
    EXPECT_EQ(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs")) << value;
  }
  for (const double step : {101.0, -infinity, std::nan("")}) {
    EXPECT_EQ(call(QStringLiteral("StepBrightness"), {QString(), step}).errorName(),
              QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"))
        << step;
  }
  EXPECT_TRUE(displays.writes.empty());

  const QDBusMessage unknown = call(QStringLiteral("SetBrightness"), {QStringLiteral("7"), 0.5});
  EXPECT_EQ(unknown.errorName(), QString::fromLatin1(kNoSuchDisplayError));
  EXPECT_TRUE(unknown.errorMessage().contains(QStringLiteral("'7'"))) << unknown.errorMessage().toStdString();
  EXPECT_TRUE(displays.writes.empty());
  // The ends themselves are values a user can ask for.
  EXPECT_EQ(call(QStringLiteral("SetBrightness"), {QStringLiteral("1"), 0.0}).type(), QDBusMessage::ReplyMessage);
  EXPECT_EQ(call(QStringLiteral("SetBrightness"), {QStringLiteral("1"), 1.0}).type(), QDBusMessage::ReplyMessage);
  EXPECT_EQ(displays.writes, (std::vector<float>{0.0f, 1.0f}));
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

// Commands run against the real model on simulated displays: results on
// standard output, causes on standard error, exit status, and the reports
// that reached each display.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <sstream>

#include "cli/command_runner.hpp"
#include "cli/hid_failure_watch.hpp"
#include "cli/model_display_commands.hpp"
#include "manager_rig.hpp"
#include "platform/simulated/manual_dispatch_queues.hpp"

namespace lumaro::cli {
namespace {

using hid::SimulatedCinemaDisplay;

struct Result {
  int status;
  std::string out;
  std::string err;
};

// Display 1: LED Cinema Display at byte 200 (78 %); display 2: a nameless
// Cinema HD at byte 96 (38 %), serial CY0000000002.
class CommandRig {
 public:
  CommandRig() {
    led = rig.plug(testing::ledCinema(200));
    hd = rig.plug(testing::namelessCinemaHD(96));
  }

  Result run(std::vector<std::string_view> arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const Terminal terminal{"lumaro", "1.0", out, err};
    ModelDisplayCommands displays(rig.manager, [this] { queues->runAll(); });
    const auto parsed = parseCommandLine(arguments);
    int status = 0;
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
      status = reportUsageError(*error, terminal);
    } else {
      status = runCommand(std::get<Command>(parsed), &displays, terminal);
    }
    return {status, out.str(), err.str()};
  }

  std::shared_ptr<ManualDispatchQueues> queues = std::make_shared<ManualDispatchQueues>();
  testing::ManagerRig rig{
      queues, [](std::unique_ptr<hid::Manager> inner) { return std::make_unique<HidFailureWatch>(std::move(inner)); }};
  std::shared_ptr<SimulatedCinemaDisplay> led;
  std::shared_ptr<SimulatedCinemaDisplay> hd;
};

struct RunCase {
  const char* name;
  std::function<void(CommandRig&)> setup;  // breaks the hardware before the command
  std::vector<std::string_view> arguments;
  int status;
  std::string out;
  std::string errContains;              // empty: nothing on standard error
  std::vector<std::uint8_t> ledWrites;  // brightness bytes display 1 received
  std::vector<std::uint8_t> hdWrites;   // and display 2
};

std::vector<std::uint8_t> writtenBytes(const SimulatedCinemaDisplay& display) {
  std::vector<std::uint8_t> bytes;
  for (const auto& report : display.reportsWritten()) bytes.push_back(report.at(1));
  return bytes;
}

class RunCommand : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunCommand, PrintsTheResultAndSendsOnlyTheReportsAskedFor) {
  const auto& c = GetParam();
  CommandRig rig;
  if (c.setup) c.setup(rig);
  const Result result = rig.run(c.arguments);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(result.out, c.out);
  if (c.errContains.empty()) {
    EXPECT_EQ(result.err, "");
  } else {
    EXPECT_NE(result.err.find(c.errContains), std::string::npos) << result.err;
  }
  EXPECT_EQ(writtenBytes(*rig.led), c.ledWrites);
  EXPECT_EQ(writtenBytes(*rig.hd), c.hdWrites);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RunCommand,
    ::testing::Values(
        RunCase{"list",
                {},
                {"list"},
                0,
                "1\tLED Cinema Display\t0x9226\t2A1133WZ6JL\t78%\n2\tUnknown Display\t0x9221\tCY0000000002\t38%\n",
                "",
                {},
                {}},
        RunCase{"getAll", {}, {"get"}, 0, "1\t78%\n2\t38%\n", "", {}, {}},
        RunCase{"getBySerial", {}, {"get", "CY0000000002"}, 0, "38%\n", "", {}, {}},
        // 70 % goes out as byte 178, which reads back as 70 %.
        RunCase{"setPercent", {}, {"set", "1", "70%"}, 0, "70%\n", "", {178}, {}},
        RunCase{"setFraction", {}, {"set", "2", "0.5"}, 0, "50%\n", "", {}, {127}},
        RunCase{"setAllDownClamps", {}, {"set", "all", "-50%"}, 0, "1\t28%\n2\t0%\n", "", {72}, {0}},
        // One display refusing does not keep the other from its change.
        RunCase{"setWithoutPermission",
                [](CommandRig& rig) { rig.led->failOpen(hid::kIOReturnNotPrivileged); },
                {"set", "all", "40%"},
                1,
                "2\t40%\n",
                "no permission to write the brightness of display 1 (LED Cinema Display); install the udev rule",
                {},
                {102}}),
    [](const auto& info) { return std::string(info.param.name); });

const auto kNoDisplays = [](CommandRig& rig) { rig.rig.hid->setDevices({}); };
const auto kHdUnreadable = [](CommandRig& rig) { rig.hd->failGetReport(hid::kIOReturnError); };
const auto kLedRefuses = [](CommandRig& rig) { rig.led->failSetReport(hid::kIOReturnError); };

// Failures print nothing on standard output and send no report.
INSTANTIATE_TEST_SUITE_P(
    Failures, RunCommand,
    ::testing::Values(
        RunCase{"unknownNumber", {}, {"set", "3", "50%"}, 1, "", "lumaro: no display '3' (2 displays attached", {}, {}},
        RunCase{"numberZero", {}, {"get", "0"}, 1, "", "lumaro: no display '0'", {}, {}},
        RunCase{"unknownSerial", {}, {"set", "CY9", "50%"}, 1, "", "lumaro: no display 'CY9'", {}, {}},
        RunCase{"malformedValue", {}, {"set", "1", "50"}, 2, "", "\nUsage: lumaro [list", {}, {}},
        RunCase{"noDisplays", kNoDisplays, {"set", "all", "50%"}, 1, "", "lumaro: no Apple display found", {}, {}},
        // An unknown level plus 10 % could be anything.
        RunCase{"relativeFromUnreadable",
                kHdUnreadable,
                {"set", "2", "+10%"},
                1,
                "",
                "display 2 (Unknown Display) did not let its brightness be read",
                {},
                {}},
        RunCase{"refused",
                kLedRefuses,
                {"set", "1", "10%"},
                1,
                "",
                "display 1 (LED Cinema Display) did not let its brightness be written",
                {},
                {}},
        RunCase{"noEdid",
                {},
                {"info", "1"},
                1,
                "",
                "no EDID information could be found for display 1 (LED Cinema Display)",
                {},
                {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandRunner, JsonParsesBackWithItsDocumentedKeysAndNullForTheUnknown) {
  CommandRig rig;
  rig.hd->setProperty("Product", std::string("Cinema \"HD\"\t\x01"));
  rig.hd->removeProperty("SerialNumber");
  rig.hd->failGetReport(hid::kIOReturnError);
  rig.rig.attachEdid(0x9226);

  const std::string listText = rig.run({"list", "--json"}).out;
  // Qt's parser lets a raw control character through; strict ones do not.
  EXPECT_NE(listText.find(R"("Cinema \"HD\"\t\u0001")"), std::string::npos) << listText;
  const auto list = QJsonDocument::fromJson(QByteArray::fromStdString(listText)).array();
  ASSERT_EQ(list.size(), 2);
  const QJsonObject hd = list[1].toObject();
  EXPECT_EQ(hd["number"].toInt(), 2);
  EXPECT_EQ(hd["name"].toString(), QStringLiteral("Cinema \"HD\"\t\x01"));
  EXPECT_EQ(hd["productId"].toInt(), 0x9221);
  EXPECT_TRUE(hd["serialNumber"].isNull());
  // Unreadable: null, not the 50 % the window falls back to.
  EXPECT_TRUE(hd["brightness"].isNull());

  const auto one = QJsonDocument::fromJson(QByteArray::fromStdString(rig.run({"get", "1", "--json"}).out)).object();
  EXPECT_EQ(one, (QJsonObject{{"number", 1}, {"serialNumber", "2A1133WZ6JL"}, {"brightness", 78}}));
  const auto all = QJsonDocument::fromJson(QByteArray::fromStdString(rig.run({"get", "--json"}).out)).array();
  EXPECT_EQ(all.size(), 2);

  const Result info = rig.run({"info", "1", "--json"});
  ASSERT_EQ(info.status, 0) << info.err;
  const auto edid = QJsonDocument::fromJson(QByteArray::fromStdString(info.out)).object()["edid"].toObject();
  const DisplayEDIDDetails expected = testing::ManagerRig::attachedEdidDetails();
  for (const auto& field : kEDIDFields) {
    EXPECT_EQ(edid[QString::fromLatin1(field.key.data(), static_cast<qsizetype>(field.key.size()))].toString(),
              QString::fromStdString(expected.*field.member))
        << field.key;
  }
  const Result text = rig.run({"info", "1"});
  EXPECT_EQ(text.out.rfind("Manufacturer: " + expected.manufacturer + "\nProduct ID: ", 0), 0U) << text.out;
}

}  // namespace
}  // namespace lumaro::cli

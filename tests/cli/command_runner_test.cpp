// Commands run against the real model on simulated displays: results on
// standard output, causes on standard error, exit status, and the reports
// that reached each display.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <ostream>
#include <sstream>

#include "cli/command_runner.hpp"
#include "cli/hid_failure_watch.hpp"
#include "cli/model_display_commands.hpp"
#include "fixtures.hpp"
#include "manager_rig.hpp"
#include "adapters/simulated/manual_dispatch_queues.hpp"

namespace lumaro::cli {
namespace {

using hid::SimulatedCinemaDisplay;

struct Result {
  int status;
  std::string out;
  std::string err;
};

// Display 1: LED Cinema Display at byte 200 (78 %); display 2: a nameless
// Cinema HD at byte 96 (37 %), serial CY0000000002.
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
    ModelDisplayCommands displays(rig.manager, [this] { queues->runAll(); }, "lumaro");
    const auto parsed = parseCommandLine(arguments);
    const auto* error = std::get_if<UsageError>(&parsed);
    const int status =
        error ? reportUsageError(*error, terminal) : runCommand(std::get<Command>(parsed), &displays, terminal);
    return {status, out.str(), err.str()};
  }
  // Standard output, parsed as JSON.
  QJsonDocument json(std::vector<std::string_view> arguments) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(run(std::move(arguments)).out));
  }

  std::shared_ptr<ManualDispatchQueues> queues = std::make_shared<ManualDispatchQueues>();
  testing::ManagerRig rig{
      queues, [](std::unique_ptr<hid::Manager> inner) { return std::make_unique<HidFailureWatch>(std::move(inner)); }};
  std::shared_ptr<SimulatedCinemaDisplay> led;
  std::shared_ptr<SimulatedCinemaDisplay> hd;
};

using Bytes = std::vector<std::uint8_t>;
using Arguments = std::vector<std::string_view>;
using Setup = void (*)(CommandRig&);

struct RunCase {
  const char* name;
  Arguments arguments;
  int status;
  std::string out;
  std::string errContains;  // empty: nothing on standard error
  Bytes ledWrites;          // brightness bytes display 1 received
  Bytes hdWrites;           // and display 2
  Setup setup;              // breaks the hardware before the command
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

// A command that does all it was asked.
RunCase succeeds(const char* name, Arguments arguments, std::string out, Bytes led = {}, Bytes hd = {}) {
  return {name, std::move(arguments), kExitSuccess, std::move(out), "", std::move(led), std::move(hd), nullptr};
}

// A command that fails before sending anything: nothing on standard output.
RunCase fails(const char* name, Arguments arguments, std::string err, Setup setup = nullptr,
              int status = kExitFailure) {
  return {name, std::move(arguments), status, "", std::move(err), {}, {}, setup};
}

// A command that does only part of what it was asked, and says why.
RunCase partly(const char* name, Arguments arguments, std::string out, std::string err, Setup setup, Bytes led = {},
               Bytes hd = {}) {
  return {name, std::move(arguments), kExitFailure, std::move(out), std::move(err), led, hd, setup};
}

Bytes writtenBytes(const SimulatedCinemaDisplay& display) {
  Bytes bytes;
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

void noDisplays(CommandRig& rig) { rig.rig.hid->setDevices({}); }
void hdUnreadable(CommandRig& rig) { rig.hd->failGetReport(hid::kIOReturnError); }
void ledRefuses(CommandRig& rig) { rig.led->failSetReport(hid::kIOReturnError); }
void ledLocked(CommandRig& rig) { rig.led->failOpen(hid::kIOReturnNotPrivileged); }
// A display of a product the udev rule does not list, describing its brightness.
void hdUnlistedAndLocked(CommandRig& rig) {
  rig.hd->setProperty("VendorID", std::int64_t{0x1D5C});
  rig.hd->setProperty("ProductID", std::int64_t{0x7010});
  rig.hd->setReportDescriptor(testing::fixtureBytes("hid/ultrafine-5k-9a70.bin"));
  rig.hd->failOpen(hid::kIOReturnNotPrivileged);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RunCommand,
    ::testing::Values(
        succeeds("list", {"list"},
                 "1\tLED Cinema Display\t0x9226\t2A1133WZ6JL\t78%\n2\tUnknown Display\t0x9221\tCY0000000002\t37%\n"),
        succeeds("getAll", {"get"}, "1\t78%\n2\t37%\n"), succeeds("getBySerial", {"get", "CY0000000002"}, "37%\n"),
        // 70 % goes out as byte 179, the lowest that reads back as 70 % (178 shows 69 %).
        succeeds("setPercent", {"set", "1", "70%"}, "70%\n", {179}),
        // Steps go from the percentage shown, 37 %, not from the level behind it.
        succeeds("stepUp", {"set", "2", "+1%"}, "38%\n", {}, {97}),
        succeeds("setFraction", {"set", "2", "0.5"}, "50%\n", {}, {127}),
        succeeds("setAllDownClamps", {"set", "all", "-50%"}, "1\t28%\n2\t0%\n", {72}, {0}),
        // One display failing keeps neither the other from its part nor the status from saying so.
        partly("setWithoutPermission", {"set", "all", "40%"}, "2\t40%\n",
               "no permission to write the brightness of display 1 (LED Cinema Display); install the udev rule",
               ledLocked, {}, {102}),
        partly("setUnlistedWithoutPermission", {"set", "all", "40%"}, "1\t40%\n",
               "display 2 (Unknown Display), and the udev rule 70-lumaro.rules does not list it; add this line to "
               "/etc/udev/rules.d/70-lumaro.rules, then unplug the display and plug it in again: "
               R"(SUBSYSTEM=="hidraw", ATTRS{idVendor}=="1d5c", ATTRS{idProduct}=="7010", TAG+="uaccess")",
               hdUnlistedAndLocked, {102}),
        partly("getUnreadable", {"get"}, "1\t78%\n", "display 2 (Unknown Display) did not let its brightness be read",
               hdUnreadable),
        // Failures.
        fails("unknownNumber", {"set", "3", "50%"}, "lumaro: no display '3' (2 displays attached"),
        fails("numberZero", {"get", "0"}, "lumaro: no display '0'"),
        fails("unknownSerial", {"set", "CY9", "50%"}, "lumaro: no display 'CY9'"),
        fails("malformedValue", {"set", "1", "50"}, "\nUsage: lumaro [list", nullptr, kExitUsage),
        fails("noDisplays", {"set", "all", "50%"}, "lumaro: no Apple display found", noDisplays),
        // Said on standard error, so that no display is never mistaken for a silent failure.
        RunCase{"listNone", {"list"}, kExitSuccess, "", "lumaro: no Apple display is attached", {}, {}, noDisplays},
        // An unknown level plus 10 % could be anything.
        fails("relativeFromUnreadable", {"set", "2", "+10%"},
              "display 2 (Unknown Display) did not let its brightness be read", hdUnreadable),
        fails("refused", {"set", "1", "10%"}, "display 1 (LED Cinema Display) did not let its brightness be written",
              ledRefuses),
        fails("noEdid", {"info", "1"}, "no EDID information could be found for display 1 (LED Cinema Display)")),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandRunner, JsonParsesBackWithItsDocumentedKeysAndNullForTheUnknownAndTextKeepsItsColumns) {
  CommandRig rig;
  rig.hd->setProperty("Product", std::string("C:\\x \"HD\"\t\x01"));
  rig.hd->removeProperty("SerialNumber");
  rig.hd->failGetReport(hid::kIOReturnError);
  rig.rig.attachEdid(0x9226);

  const std::string listText = rig.run({"list", "--json"}).out;
  // Qt's parser lets a raw control character through; strict ones do not.
  EXPECT_NE(listText.find(R"("C:\\x \"HD\"\t\u0001")"), std::string::npos) << listText;
  const auto list = QJsonDocument::fromJson(QByteArray::fromStdString(listText)).array();
  ASSERT_EQ(list.size(), 2);
  // Unreadable: null, not the 50 % the window falls back to.
  // Without a serial number the id is vendor, product and location.
  EXPECT_EQ(list[1].toObject(), (QJsonObject{{"number", 2},
                                             {"id", "05ac:9221@14200000"},
                                             {"name", "C:\\x \"HD\"\t\x01"},
                                             {"productId", 0x9221},
                                             {"serialNumber", QJsonValue::Null},
                                             {"brightness", QJsonValue::Null}}));

  EXPECT_EQ(rig.json({"get", "1", "--json"}).object(),
            (QJsonObject{{"number", 1}, {"id", "2A1133WZ6JL"}, {"serialNumber", "2A1133WZ6JL"}, {"brightness", 78}}));
  // A tab in a USB string would shift the columns after it.
  EXPECT_EQ(rig.run({"list"}).out,
            "1\tLED Cinema Display\t0x9226\t2A1133WZ6JL\t78%\n2\tC:\\x \"HD\"\\x09\\x01\t0x9221\t-\t-\n");
  EXPECT_EQ(rig.json({"get", "--json"}).array().size(), 2);

  const DisplayEDIDDetails expected = testing::ManagerRig::attachedEdidDetails();
  QJsonObject edid;
  for (const auto& field : kEDIDFields)
    edid[QString::fromUtf8(field.key)] = QString::fromStdString(expected.*field.member);
  EXPECT_EQ(rig.json({"info", "1", "--json"}).object()["edid"].toObject(), edid);
  const Result text = rig.run({"info", "1"});
  EXPECT_EQ(text.out.rfind("Manufacturer: " + expected.manufacturer + "\nProduct ID: ", 0), 0U) << text.out;
}

}  // namespace
}  // namespace lumaro::cli

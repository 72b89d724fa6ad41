// Argument parsing: every subcommand, every value form, every usage error.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/brightness_value.hpp"
#include "cli/command_line.hpp"

namespace lumaro::cli {
namespace {

using Kind = Command::Kind;
constexpr auto kFraction = BrightnessValue::Kind::fraction;
constexpr auto kPercent = BrightnessValue::Kind::percent;
constexpr auto kRelative = BrightnessValue::Kind::relative;

struct ParseCase {
  const char* name;
  std::vector<std::string_view> arguments;
  std::variant<Command, UsageError> expected;
};

Command command(Kind kind, std::optional<std::string> display = {}, std::optional<BrightnessValue> value = {},
                bool json = false, bool verbose = false) {
  return Command{kind, std::move(display), value, json, verbose};
}

UsageError usage(std::string message) { return UsageError{std::move(message)}; }

class ParseCommandLine : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLine, GivesTheCommandOrTheUsageError) {
  const auto& c = GetParam();
  EXPECT_EQ(parseCommandLine(c.arguments), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Subcommands, ParseCommandLine,
    ::testing::Values(
        ParseCase{"list", {"list"}, command(Kind::list)},
        ParseCase{"listJsonVerbose", {"-v", "list", "--json"}, command(Kind::list, {}, {}, true, true)},
        ParseCase{"getAllByDefault", {"get"}, command(Kind::get)},
        ParseCase{"getAllNamed", {"get", "all"}, command(Kind::get)},
        ParseCase{"getBySerial", {"get", "CY0000000002", "--json"}, command(Kind::get, "CY0000000002", {}, true)},
        ParseCase{"info", {"info", "2"}, command(Kind::info, "2")},
        ParseCase{"helpWinsOverMissingOperands", {"set", "--help"}, command(Kind::help)},
        ParseCase{"version", {"--version"}, command(Kind::version)},
        // Every value form; "-5%" must not be taken for an option.
        ParseCase{"percent", {"set", "1", "70%"}, command(Kind::set, "1", BrightnessValue{kPercent, 70})},
        ParseCase{"fraction", {"set", "all", "0.7"}, command(Kind::set, {}, BrightnessValue{kFraction, 0.7})},
        ParseCase{"up", {"set", "1", "+10%"}, command(Kind::set, "1", BrightnessValue{kRelative, 10})},
        ParseCase{"down", {"set", "1", "-5%"}, command(Kind::set, "1", BrightnessValue{kRelative, -5})},
        ParseCase{"optionsEnd", {"set", "--", "1", "-5%"}, command(Kind::set, "1", BrightnessValue{kRelative, -5})},
        ParseCase{"decimalPercent", {"set", "1", "12.5%"}, command(Kind::set, "1", BrightnessValue{kPercent, 12.5})},
        ParseCase{"bounds", {"set", "1", "100%"}, command(Kind::set, "1", BrightnessValue{kPercent, 100})}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    UsageErrors, ParseCommandLine,
    ::testing::Values(ParseCase{"nothing", {}, usage("missing subcommand")},
                      ParseCase{"unknownSubcommand", {"dim"}, usage("unknown subcommand 'dim'")},
                      ParseCase{"unknownSubcommandWithHelp", {"dim", "--help"}, usage("unknown subcommand 'dim'")},
                      ParseCase{"optionAfterOptionsEnd", {"--", "list", "--json"}, usage("list: unexpected argument '--json'")},
                      ParseCase{"unknownOption", {"list", "--all"}, usage("unknown option '--all'")},
                      ParseCase{"setWithoutDisplay", {"set"}, usage("set: missing DISPLAY")},
                      ParseCase{"setWithoutValue", {"set", "1"}, usage("set: missing VALUE")},
                      ParseCase{"infoWithoutDisplay", {"info"}, usage("info: missing DISPLAY")},
                      ParseCase{"infoOfAll", {"info", "all"}, usage("info: DISPLAY must be one display, not 'all'")},
                      ParseCase{"extraOperand", {"get", "1", "2"}, usage("get: unexpected argument '2'")},
                      ParseCase{"setJson", {"set", "1", "50%", "--json"}, usage("set: --json is not supported")}),
    [](const auto& info) { return std::string(info.param.name); });

// A bare 70 would be 7000 %: a fraction above 1 is out of range, not a percentage.
TEST(ParseBrightnessValue, RejectsEveryMalformedOrOutOfRangeValue) {
  for (const char* value : {"70", "101%", "+150%", "+0.1", "bright", "nan", "5e-1", "%", "0.5.1", "+-5%", " 50%"}) {
    const std::vector<std::string_view> arguments{"set", "1", value};
    EXPECT_EQ(parseCommandLine(arguments),
              (std::variant<Command, UsageError>{usage(std::string("set: invalid value '") + value +
                                                       "' (use 70%, +10%, -5% or 0.7, within 0-100 %)")}))
        << value;
  }
}

}  // namespace
}  // namespace lumaro::cli

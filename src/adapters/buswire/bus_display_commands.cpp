#include "adapters/buswire/bus_display_commands.hpp"

#include <cstdint>
#include <cstdlib>

#include "cli/bus_names.hpp"

namespace lumaro::buswire {

namespace {

constexpr const char* kBusDaemon = "org.freedesktop.DBus";
// The bus daemon answers its own calls at once; this only bounds a broken one.
constexpr std::chrono::milliseconds kDaemonTimeout{500};

std::optional<std::string> environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

DisplayFailure failureFromName(const std::optional<std::string>& name) {
  if (!name || *name == "ok") return DisplayFailure::none;
  if (*name == "not-permitted") return DisplayFailure::notPermitted;
  if (*name == "gone") return DisplayFailure::gone;
  return DisplayFailure::refused;
}

DisplayStatus statusOf(const WireValue& record) {
  DisplayStatus status;
  status.number = static_cast<std::size_t>(std::max<std::int64_t>(0, dictMember<std::int64_t>(record, "number").value_or(0)));
  status.id = dictMember<std::string>(record, "id").value_or("");
  status.name = dictMember<std::string>(record, "name").value_or("");
  status.vendorID = dictMember<std::int64_t>(record, "vendorId");
  status.productID = dictMember<std::int64_t>(record, "productId").value_or(0);
  status.serialNumber = dictMember<std::string>(record, "serialNumber");
  if (const auto brightness = dictMember<double>(record, "brightness")) status.brightness = static_cast<float>(*brightness);
  if (const auto failure = dictMember<std::string>(record, "readFailure")) status.readFailure = failureFromName(failure);
  return status;
}

// The records of a reply whose one value is an aa{sv}.
std::optional<WireList> recordsOf(WireList body) {
  if (body.size() != 1) return std::nullopt;
  auto* records = std::get_if<WireList>(&body[0].value);
  if (records == nullptr) return std::nullopt;
  return std::move(*records);
}

CommandError malformed() {
  return {CommandError::Kind::unanswered, "the running Lumaro sent an answer this command cannot read"};
}

std::string errorText(const Message& error) {
  if (!error.body.empty()) {
    if (const auto* text = std::get_if<std::string>(&error.body[0].value)) return *text;
  }
  return "no reason given";
}

}  // namespace

BusDisplayCommands::BusDisplayCommands(std::unique_ptr<BusConnection> bus, std::string busName,
                                       std::chrono::milliseconds timeout)
    : bus_(std::move(bus)), busName_(std::move(busName)), timeout_(timeout) {}

std::unique_ptr<BusDisplayCommands> BusDisplayCommands::connectTo(const std::string& busName,
                                                                  std::chrono::milliseconds timeout) {
  auto bus = BusConnection::open(
      sessionBusSockets(environment("DBUS_SESSION_BUS_ADDRESS"), environment("XDG_RUNTIME_DIR")));
  if (!bus) return nullptr;
  return std::unique_ptr<BusDisplayCommands>(new BusDisplayCommands(std::move(bus), busName, timeout));
}

std::string BusDisplayCommands::ownerDescription() {
  const auto answer = bus_->call({.destination = kBusDaemon,
                                  .path = "/org/freedesktop/DBus",
                                  .interface = kBusDaemon,
                                  .member = "GetConnectionUnixProcessID",
                                  .arguments = {busName_},
                                  .autoStart = true},
                                 std::chrono::steady_clock::now() + kDaemonTimeout);
  std::string text = "the running Lumaro (" + busName_;
  if (answer.kind == BusConnection::Outcome::Kind::answered && answer.message.type == Message::Type::methodReturn &&
      answer.message.body.size() == 1) {
    if (const auto* pid = std::get_if<std::int64_t>(&answer.message.body[0].value); pid != nullptr && *pid > 0) {
      text += ", pid " + std::to_string(*pid);
    }
  }
  return text + ")";
}

CommandError BusDisplayCommands::noInstance() const {
  return {CommandError::Kind::noInstance, "no running Lumaro owns " + busName_};
}

CommandError BusDisplayCommands::unanswered() {
  return {CommandError::Kind::unanswered, ownerDescription() + " did not answer within " +
                                              std::to_string(timeout_.count() / 1000) + " s; it may be stopped or hung"};
}

std::variant<WireList, CommandError> BusDisplayCommands::call(const char* method,
                                                              std::vector<std::variant<std::string, double>> arguments) {
  // A name nobody owns is answered at once by the bus daemon, never by starting a service.
  auto answer = bus_->call({.destination = busName_,
                            .path = dbus::kObjectPath,
                            .interface = dbus::kDisplaysInterface,
                            .member = method,
                            .arguments = std::move(arguments),
                            .autoStart = false},
                           std::chrono::steady_clock::now() + timeout_);
  using Kind = BusConnection::Outcome::Kind;
  switch (answer.kind) {
    case Kind::closed:
      // A bus that hung up during the greeting reached nobody either.
      return noInstance();
    case Kind::garbled:
      return malformed();
    case Kind::timedOut:
      return unanswered();
    case Kind::answered:
      break;
  }
  Message& reply = answer.message;
  if (reply.type == Message::Type::methodReturn) return std::move(reply.body);
  const std::string name = reply.errorName.value_or("");
  if (name == "org.freedesktop.DBus.Error.ServiceUnknown" || name == "org.freedesktop.DBus.Error.NameHasNoOwner") {
    return noInstance();
  }
  if (name == dbus::kNoSuchDisplayError) return CommandError{CommandError::Kind::noSuchDisplay, errorText(reply)};
  if (name == "org.freedesktop.DBus.Error.NoReply" || name == "org.freedesktop.DBus.Error.Timeout") return unanswered();
  return CommandError{CommandError::Kind::unanswered, ownerDescription() + " failed the call: " + errorText(reply)};
}

Answer<std::vector<DisplayStatus>> BusDisplayCommands::list() {
  auto reply = call("List", {});
  if (auto* error = std::get_if<CommandError>(&reply)) return std::move(*error);
  const auto records = recordsOf(std::move(std::get<WireList>(reply)));
  if (!records) return malformed();
  std::vector<DisplayStatus> statuses;
  for (const WireValue& record : *records) statuses.push_back(statusOf(record));
  return statuses;
}

Answer<std::vector<WriteOutcome>> BusDisplayCommands::setBrightness(const std::optional<std::string>& selector,
                                                                    const cli::BrightnessValue& value) {
  const std::string display = selector.value_or("");
  // Percentages become levels here, the same for every display; only a
  // relative change needs the level the instance holds.
  auto reply = value.kind == cli::BrightnessValue::Kind::relative
                   ? call("StepBrightness", {display, static_cast<double>(value.amount)})
                   : call("SetBrightness", {display, static_cast<double>(value.applyTo(0.0f))});
  if (auto* error = std::get_if<CommandError>(&reply)) return std::move(*error);
  const auto records = recordsOf(std::move(std::get<WireList>(reply)));
  if (!records) return malformed();
  std::vector<WriteOutcome> outcomes;
  for (const WireValue& record : *records) {
    outcomes.push_back({.display = statusOf(record),
                        .failure = failureFromName(dictMember<std::string>(record, "failure")),
                        .failedRead = dictMember<bool>(record, "failedRead").value_or(false)});
  }
  return outcomes;
}

Answer<DisplayInfo> BusDisplayCommands::info(const std::string& selector) {
  auto reply = call("Info", {selector});
  if (auto* error = std::get_if<CommandError>(&reply)) return std::move(*error);
  const auto& body = std::get<WireList>(reply);
  if (body.size() != 1 || !std::holds_alternative<WireList>(body[0].value)) return malformed();
  const WireValue& display = body[0];
  DisplayInfo answer{.display = statusOf(display), .details = std::nullopt};
  if (const auto fields = dictMember<WireList>(display, "edid")) {
    const WireValue edid{*fields};
    DisplayEDIDDetails details;
    for (const EDIDField& field : kEDIDFields) {
      details.*field.member = dictMember<std::string>(edid, field.key).value_or("");
    }
    answer.details = std::move(details);
  }
  return answer;
}

}  // namespace lumaro::buswire

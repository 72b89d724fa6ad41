#include "adapters/sdbus/sdbus_display_commands.hpp"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <map>

#include "cli/bus_names.hpp"

namespace lumaro::dbus {

namespace {

constexpr const char* kBusDaemon = "org.freedesktop.DBus";

using Fields = std::map<std::string, std::string>;
using Value = std::variant<std::monostate, std::uint32_t, std::int64_t, double, bool, std::string, Fields>;
using Record = std::map<std::string, Value>;

bool readFields(sd_bus_message* message, Fields& fields) {
  if (sd_bus_message_enter_container(message, 'a', "{ss}") <= 0) return false;
  while (sd_bus_message_enter_container(message, 'e', "ss") > 0) {
    const char* key = nullptr;
    const char* text = nullptr;
    if (sd_bus_message_read(message, "ss", &key, &text) < 0 || sd_bus_message_exit_container(message) < 0) {
      return false;
    }
    fields.emplace(key, text);
  }
  return sd_bus_message_exit_container(message) >= 0;
}

// One a{sv} at the read position; members of other types are skipped.
bool readRecord(sd_bus_message* message, Record& record) {
  if (sd_bus_message_enter_container(message, 'a', "{sv}") <= 0) return false;
  while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
    const char* key = nullptr;
    const char* contents = nullptr;
    if (sd_bus_message_read(message, "s", &key) < 0) return false;
    if (sd_bus_message_peek_type(message, nullptr, &contents) < 0 || contents == nullptr) return false;
    if (sd_bus_message_enter_container(message, 'v', contents) < 0) return false;
    Value value;
    const std::string type(contents);
    int read = 0;
    if (type == "u") {
      std::uint32_t u = 0;
      read = sd_bus_message_read_basic(message, 'u', &u);
      value = u;
    } else if (type == "x") {
      std::int64_t x = 0;
      read = sd_bus_message_read_basic(message, 'x', &x);
      value = x;
    } else if (type == "d") {
      double d = 0.0;
      read = sd_bus_message_read_basic(message, 'd', &d);
      value = d;
    } else if (type == "b") {
      int b = 0;
      read = sd_bus_message_read_basic(message, 'b', &b);
      value = b != 0;
    } else if (type == "s") {
      const char* s = nullptr;
      read = sd_bus_message_read_basic(message, 's', &s);
      value = std::string(s != nullptr ? s : "");
    } else if (type == "a{ss}") {
      Fields fields;
      read = readFields(message, fields) ? 0 : -1;
      value = std::move(fields);
    } else {
      read = sd_bus_message_skip(message, contents);
    }
    if (read < 0 || sd_bus_message_exit_container(message) < 0 || sd_bus_message_exit_container(message) < 0) {
      return false;
    }
    record.emplace(key, std::move(value));
  }
  return sd_bus_message_exit_container(message) >= 0;
}

template <typename T>
std::optional<T> member(const Record& record, const char* key) {
  const auto found = record.find(key);
  if (found == record.end()) return std::nullopt;
  if (const auto* value = std::get_if<T>(&found->second)) return *value;
  return std::nullopt;
}

DisplayFailure failureFromName(const std::optional<std::string>& name) {
  if (!name || *name == "ok") return DisplayFailure::none;
  if (*name == "not-permitted") return DisplayFailure::notPermitted;
  if (*name == "gone") return DisplayFailure::gone;
  return DisplayFailure::refused;
}

DisplayStatus statusOf(const Record& record) {
  DisplayStatus status;
  status.number = member<std::uint32_t>(record, "number").value_or(0);
  status.id = member<std::string>(record, "id").value_or("");
  status.name = member<std::string>(record, "name").value_or("");
  status.vendorID = member<std::int64_t>(record, "vendorId");
  status.productID = member<std::int64_t>(record, "productId").value_or(0);
  status.serialNumber = member<std::string>(record, "serialNumber");
  if (const auto brightness = member<double>(record, "brightness")) status.brightness = static_cast<float>(*brightness);
  if (const auto failure = member<std::string>(record, "readFailure")) status.readFailure = failureFromName(failure);
  return status;
}

// Every a{sv} of an aa{sv}.
std::optional<std::vector<Record>> readRecords(sd_bus_message* message) {
  if (sd_bus_message_enter_container(message, 'a', "a{sv}") <= 0) return std::nullopt;
  std::vector<Record> records;
  while (sd_bus_message_at_end(message, false) == 0) {
    Record record;
    if (!readRecord(message, record)) return std::nullopt;
    records.push_back(std::move(record));
  }
  if (sd_bus_message_exit_container(message) < 0) return std::nullopt;
  return records;
}

CommandError malformed() {
  return {CommandError::Kind::unanswered, "the running Lumaro sent an answer this command cannot read"};
}

// sd_bus_call waits for the bus daemon's answer to the connection's greeting
// before it sends anything; a call made asynchronously is queued behind the
// greeting and written with it, which saves a round trip. The same contract
// as sd_bus_call.
int callBehindGreeting(sd_bus* bus, sd_bus_message* request, std::uint64_t timeoutUsec, sd_bus_error* error,
                       sd_bus_message** reply) {
  sd_bus_message* answer = nullptr;
  sd_bus_slot* slot = nullptr;
  const auto keep = [](sd_bus_message* message, void* userdata, sd_bus_error*) {
    *static_cast<sd_bus_message**>(userdata) = sd_bus_message_ref(message);
    return 0;
  };
  int result = sd_bus_call_async(bus, &slot, request, keep, &answer, timeoutUsec);
  if (result < 0) return sd_bus_error_set_errno(error, result);
  // Kept here: sd-bus never times out a call queued before the greeting was answered.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(timeoutUsec);
  while (answer == nullptr) {
    result = sd_bus_process(bus, nullptr);
    if (result < 0) break;
    if (result > 0) continue;
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result = -ETIMEDOUT;
      break;
    }
    result = sd_bus_wait(bus, static_cast<std::uint64_t>(left.count()));
    if (result < 0) break;
  }
  sd_bus_slot_unref(slot);
  if (answer == nullptr) {
    if (result == -ETIMEDOUT) return sd_bus_error_set(error, SD_BUS_ERROR_NO_REPLY, "Method call timed out");
    return sd_bus_error_set_errno(error, result);
  }
  if (const sd_bus_error* failed = sd_bus_message_get_error(answer)) {
    result = sd_bus_error_copy(error, failed);
    sd_bus_message_unref(answer);
    return result < 0 ? result : -EIO;
  }
  *reply = answer;
  return 1;
}

}  // namespace

void SdbusDisplayCommands::BusClose::operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
void SdbusDisplayCommands::MessageUnref::operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }

SdbusDisplayCommands::SdbusDisplayCommands(sd_bus* bus, std::string busName, std::chrono::milliseconds timeout)
    : bus_(bus), busName_(std::move(busName)), timeout_(timeout) {}

SdbusDisplayCommands::~SdbusDisplayCommands() = default;

std::unique_ptr<SdbusDisplayCommands> SdbusDisplayCommands::connectTo(const std::string& busName,
                                                                      std::chrono::milliseconds timeout) {
  sd_bus* opened = nullptr;
  if (sd_bus_open_user(&opened) < 0) return nullptr;
  std::unique_ptr<SdbusDisplayCommands> commands(new SdbusDisplayCommands(opened, busName, timeout));
  sd_bus_set_method_call_timeout(opened, static_cast<std::uint64_t>(timeout.count()) * 1000u);
  return commands;
}

std::string SdbusDisplayCommands::ownerDescription() {
  std::uint32_t pid = 0;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  if (sd_bus_call_method(bus_.get(), kBusDaemon, "/org/freedesktop/DBus", kBusDaemon, "GetConnectionUnixProcessID",
                         &error, &reply, "s", busName_.c_str()) >= 0) {
    sd_bus_message_read(reply, "u", &pid);
  }
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
  std::string text = "the running Lumaro (" + busName_;
  if (pid != 0) text += ", pid " + std::to_string(pid);
  return text + ")";
}

std::variant<SdbusDisplayCommands::Reply, CommandError> SdbusDisplayCommands::call(const char* method,
                                                                                   const char* signature, ...) {
  sd_bus_message* request = nullptr;
  if (sd_bus_message_new_method_call(bus_.get(), &request, busName_.c_str(), kObjectPath, kDisplaysInterface, method) < 0) {
    return CommandError{CommandError::Kind::unanswered, ownerDescription() + " could not be called"};
  }
  const Reply owned(request);
  // A name nobody owns is answered at once by the bus daemon, never by starting a service.
  sd_bus_message_set_auto_start(request, 0);
  va_list arguments;
  va_start(arguments, signature);
  const int appended = sd_bus_message_appendv(request, signature, arguments);
  va_end(arguments);
  if (appended < 0) return CommandError{CommandError::Kind::unanswered, ownerDescription() + " could not be called"};

  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  const int result = callBehindGreeting(bus_.get(), request, static_cast<std::uint64_t>(timeout_.count()) * 1000u,
                                        &error, &reply);
  if (result >= 0) {
    sd_bus_error_free(&error);
    return Reply(reply);
  }
  CommandError failed;
  // A connection that closed during the greeting reached nobody either.
  if (sd_bus_error_has_name(&error, SD_BUS_ERROR_SERVICE_UNKNOWN) ||
      sd_bus_error_has_name(&error, SD_BUS_ERROR_NAME_HAS_NO_OWNER) || sd_bus_is_open(bus_.get()) <= 0) {
    failed = {CommandError::Kind::noInstance, "no running Lumaro owns " + busName_};
  } else if (sd_bus_error_has_name(&error, kNoSuchDisplayError)) {
    failed = {CommandError::Kind::noSuchDisplay, error.message != nullptr ? error.message : "no such display"};
  } else if (result == -ETIMEDOUT || sd_bus_error_has_name(&error, SD_BUS_ERROR_NO_REPLY) ||
             sd_bus_error_has_name(&error, SD_BUS_ERROR_TIMEOUT)) {
    failed = {CommandError::Kind::unanswered,
              ownerDescription() + " did not answer within " + std::to_string(timeout_.count() / 1000) +
                  " s; it may be stopped or hung"};
  } else {
    failed = {CommandError::Kind::unanswered,
              ownerDescription() + " failed the call: " + (error.message != nullptr ? error.message : "no reason given")};
  }
  sd_bus_error_free(&error);
  return failed;
}

Answer<std::vector<DisplayStatus>> SdbusDisplayCommands::list() {
  auto reply = call("List", "");
  if (auto* error = std::get_if<CommandError>(&reply)) return std::move(*error);
  const auto records = readRecords(std::get<Reply>(reply).get());
  if (!records) return malformed();
  std::vector<DisplayStatus> statuses;
  for (const Record& record : *records) statuses.push_back(statusOf(record));
  return statuses;
}

Answer<std::vector<WriteOutcome>> SdbusDisplayCommands::setBrightness(const std::optional<std::string>& selector,
                                                                      const cli::BrightnessValue& value) {
  const char* display = selector ? selector->c_str() : "";
  // Percentages become levels here, the same for every display; only a
  // relative change needs the level the instance holds.
  auto reply = value.kind == cli::BrightnessValue::Kind::relative
                   ? call("StepBrightness", "sd", display, value.amount)
                   : call("SetBrightness", "sd", display, static_cast<double>(value.applyTo(0.0f)));
  if (auto* error = std::get_if<CommandError>(&reply)) return std::move(*error);
  const auto records = readRecords(std::get<Reply>(reply).get());
  if (!records) return malformed();
  std::vector<WriteOutcome> outcomes;
  for (const Record& record : *records) {
    outcomes.push_back({.display = statusOf(record),
                        .failure = failureFromName(member<std::string>(record, "failure")),
                        .failedRead = member<bool>(record, "failedRead").value_or(false)});
  }
  return outcomes;
}

Answer<DisplayInfo> SdbusDisplayCommands::info(const std::string& selector) {
  auto reply = call("Info", "s", selector.c_str());
  if (auto* error = std::get_if<CommandError>(&reply)) return std::move(*error);
  Record display;
  if (!readRecord(std::get<Reply>(reply).get(), display)) return malformed();
  DisplayInfo answer{.display = statusOf(display), .details = std::nullopt};
  if (auto fields = member<Fields>(display, "edid")) {
    DisplayEDIDDetails details;
    for (const EDIDField& field : kEDIDFields) details.*field.member = (*fields)[std::string(field.key)];
    answer.details = std::move(details);
  }
  return answer;
}

}  // namespace lumaro::dbus

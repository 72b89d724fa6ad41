#include "adapters/logind/logind_session_brightness.hpp"

#include <systemd/sd-bus.h>

#include <string>

namespace lumaro {

namespace {

constexpr const char* kService = "org.freedesktop.login1";
constexpr const char* kOwnSession = "/org/freedesktop/login1/session/auto";
constexpr const char* kSessionInterface = "org.freedesktop.login1.Session";

// Errors that mean nobody is there to ask, rather than a refusal.
bool meansAbsent(const sd_bus_error& error) {
  return sd_bus_error_has_name(&error, SD_BUS_ERROR_SERVICE_UNKNOWN) ||
         sd_bus_error_has_name(&error, SD_BUS_ERROR_NAME_HAS_NO_OWNER) ||
         sd_bus_error_has_name(&error, SD_BUS_ERROR_UNKNOWN_OBJECT) ||
         sd_bus_error_has_name(&error, SD_BUS_ERROR_UNKNOWN_METHOD);
}

}  // namespace

void LogindSessionBrightness::BusClose::operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }

LogindSessionBrightness::LogindSessionBrightness(std::chrono::milliseconds timeout) : timeout_(timeout) {}

LogindSessionBrightness::~LogindSessionBrightness() = default;

SessionBrightness::Outcome LogindSessionBrightness::setBrightness(std::string_view subsystem, std::string_view name,
                                                                  std::uint32_t value) {
  if (!bus_) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_system(&bus) < 0) return Outcome::kUnavailable;
    bus_.reset(bus);
    sd_bus_set_method_call_timeout(bus, static_cast<std::uint64_t>(timeout_.count()) * 1000u);
  }
  const std::string subsystemText(subsystem);
  const std::string nameText(name);
  sd_bus_error error = SD_BUS_ERROR_NULL;
  const int result = sd_bus_call_method(bus_.get(), kService, kOwnSession, kSessionInterface, "SetBrightness", &error,
                                        nullptr, "ssu", subsystemText.c_str(), nameText.c_str(), value);
  if (result >= 0) {
    sd_bus_error_free(&error);
    return Outcome::kDone;
  }
  const bool absent = meansAbsent(error) || !sd_bus_error_is_set(&error);
  sd_bus_error_free(&error);
  // A dropped connection is re-made at the next call.
  if (!sd_bus_is_open(bus_.get())) bus_.reset();
  return absent ? Outcome::kUnavailable : Outcome::kRefused;
}

}  // namespace lumaro

// The registry-dump harvest: runs the dump tool at most once per cache
// lifetime and keeps the EDID blobs it yields.

#include <chrono>
#include <string>
#include <variant>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "display_control/registry_dump_text.hpp"
#include "edid/ioreg_parser.hpp"
#include "text/unicode_text.hpp"

namespace lumaro {
namespace {

std::chrono::system_clock::time_point now(const WallClock& clock) {
  return clock ? clock() : std::chrono::system_clock::now();
}

}  // namespace

std::vector<DisplayEDID> RarudoRuroravOduradadur::getEDIDDataViaIoreg() {
  // Held for the whole run, tool included: a lookup that arrives while the
  // tool runs waits and then takes the fresh cache instead of running it again.
  std::lock_guard lock(harvestMutex_);

  if (cachedEDIDs_ && edidCacheTime_) {
    const std::chrono::duration<double> elapsed = now(ports_.clock) - *edidCacheTime_;
    // A negative age (clock set back) counts as fresh.
    if (elapsed.count() < edidCacheDuration) {
      say("Returning cached EDID data (" + std::to_string(cachedEDIDs_->size()) + " entries)");
      return *cachedEDIDs_;
    }
  }
  // Failures leave both cache fields as they were, so the next call retries.
  auto fallback = [this] { return cachedEDIDs_.value_or(std::vector<DisplayEDID>{}); };

  say("Getting EDID data via ioreg command");
  say("Launching ioreg process...");
  const process::RunResult run = ports_.processLauncher ? ports_.processLauncher->run(ioregPath, {"-l", "-w", "0"})
                                                        : process::LaunchFailed{"no process launcher is available"};
  if (const auto* failed = std::get_if<process::LaunchFailed>(&run)) {
    say("Failed to run ioreg command: " + failed->description);
    return fallback();
  }
  const auto& completed = std::get<process::Completed>(run);
  say("Process launched, reading output pipes...");
  say("Read " + std::to_string(completed.standardOutput.size()) + " bytes from stdout, " +
      std::to_string(completed.standardError.size()) + " bytes from stderr");
  say("ioreg exit code: " + std::to_string(completed.status));

  if (completed.status != 0) {
    say("ioreg failed with exit code " + std::to_string(completed.status));
    if (!completed.standardError.empty() && text::isValidUtf8(completed.standardError)) {
      const std::string message(completed.standardError.begin(), completed.standardError.end());
      say("ioreg stderr: " + message);
    }
    return fallback();
  }
  std::string decoded;
  const auto output = registryDumpText(completed.standardOutput, decoded, voice_);
  if (!output) return fallback();

  std::vector<DisplayEDID> edids = parseIoregOutput(*output);
  cachedEDIDs_ = edids;
  edidCacheTime_ = now(ports_.clock);  // taken after the parse
  return edids;
}

std::vector<DisplayEDID> RarudoRuroravOduradadur::parseIoregOutput(std::string_view text) {
  return ::lumaro::parseIoregOutput(text, voice_);
}

}  // namespace lumaro

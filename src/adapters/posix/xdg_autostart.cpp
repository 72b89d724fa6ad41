#include "adapters/posix/xdg_autostart.hpp"

#include <system_error>
#include <utility>

#include "adapters/posix/replace_file.hpp"

namespace lumaro {

namespace {

constexpr const char* kEntry =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Lumaro\n"
    "Comment=Brightness control for Apple Cinema Displays attached over USB\n"
    "Exec=lumaro\n"
    "Icon=io.github.lumaro.Lumaro\n"
    "Terminal=false\n"
    "NoDisplay=true\n"
    "X-GNOME-Autostart-enabled=true\n";

}  // namespace

XdgAutostart::XdgAutostart(std::optional<std::filesystem::path> file, std::shared_ptr<LineSink> sink)
    : file_(std::move(file)), sink_(std::move(sink)) {}

std::optional<std::filesystem::path> XdgAutostart::defaultFile() {
  return xdgFile("XDG_CONFIG_HOME", ".config", "autostart/io.github.lumaro.Lumaro.desktop");
}

bool XdgAutostart::enabled() const {
  std::error_code ignored;
  return file_ && std::filesystem::exists(*file_, ignored);
}

bool XdgAutostart::setEnabled(bool on) {
  if (!file_) {
    sink_->writeLine("Autostart: No home directory; cannot start at login");
    return false;
  }
  if (on == enabled()) return true;
  if (on) {
    if (const auto failure = replaceFile(*file_, kEntry)) {
      sink_->writeLine("Autostart: Cannot write " + file_->string() + ": " + *failure);
      return false;
    }
    return true;
  }
  std::error_code error;
  std::filesystem::remove(*file_, error);
  if (error) sink_->writeLine("Autostart: Cannot remove " + file_->string() + ": " + error.message());
  return !error;
}

}  // namespace lumaro

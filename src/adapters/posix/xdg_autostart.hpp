#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "ports/autostart.hpp"
#include "ports/line_sink.hpp"

namespace lumaro {

// The XDG autostart entry: $XDG_CONFIG_HOME/autostart/io.github.lumaro.Lumaro.desktop
// (by default under ~/.config). Enabled while the file exists; a copy the
// user edited is left as it is until turned off.
class XdgAutostart final : public Autostart {
 public:
  // `file` absent: no home directory; never enabled, and turning on fails.
  XdgAutostart(std::optional<std::filesystem::path> file, std::shared_ptr<LineSink> sink);
  static std::optional<std::filesystem::path> defaultFile();

  bool enabled() const override;
  bool setEnabled(bool on) override;

 private:
  std::optional<std::filesystem::path> file_;
  std::shared_ptr<LineSink> sink_;
};

}  // namespace lumaro

// lumaro-edid: inspects EDIDs and registry dumps the way the tray application reads them.

#include <cstdio>
#include <string_view>

#include "commands.hpp"

namespace {

constexpr const char* kUsage =
    "usage: lumaro-edid decode FILE   decode the raw EDID bytes in FILE\n"
    "       lumaro-edid ioreg FILE    parse the registry dump in FILE and list its EDIDs\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace lumaro::tools;
  if (argc != 3) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  const std::string_view command = argv[1];
  int status = kExitUsage;
  if (command == "decode") {
    status = runDecode(argv[2], stdout, stderr);
  } else if (command == "ioreg") {
    status = runIoreg(argv[2], stdout, stderr);
  } else {
    std::fprintf(stderr, "lumaro-edid: unknown subcommand '%s'\n", argv[1]);
    std::fputs(kUsage, stderr);
  }
  if (std::fflush(stdout) != 0) return kExitUsage;
  return status;
}

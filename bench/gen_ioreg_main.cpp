// lumaro-gen-ioreg: writes a large synthetic registry dump for benchmarks and
// for timing `lumaro-edid ioreg` against other tools on the same file.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ioreg_dump_generator.hpp"

int main(int argc, char** argv) {
  lumaro::bench::DumpOptions options;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--metadata") {
      options.metadataLines = true;
    } else if (argument == "--mib" && i + 1 < argc) {
      options.targetBytes = static_cast<std::size_t>(std::strtoul(argv[++i], nullptr, 10)) << 20;
    } else if (path == nullptr && !argument.starts_with("-")) {
      path = argv[i];
    } else {
      path = nullptr;
      break;
    }
  }
  if (path == nullptr) {
    std::fputs("usage: lumaro-gen-ioreg [--metadata] [--mib N] OUT\n", stderr);
    return 2;
  }
  const std::string dump = lumaro::bench::generateIoregDump(options);
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    std::perror(path);
    return 1;
  }
  const bool written = std::fwrite(dump.data(), 1, dump.size(), file) == dump.size();
  if (std::fclose(file) != 0 || !written) {
    std::perror(path);
    return 1;
  }
  return 0;
}

#include <string_view>

#include "commands.hpp"
#include "diagnostics/prefixing_line_sink.hpp"
#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "display_control/registry_dump_text.hpp"
#include "edid/ioreg_parser.hpp"
#include "ports/line_sink.hpp"
#include "adapters/posix/file_bytes.hpp"

namespace lumaro::tools {
namespace {

// Buffered lines on a stdio stream, so diagnostics and records keep their order.
class StreamLineSink final : public LineSink {
 public:
  explicit StreamLineSink(std::FILE* stream) : stream_(stream) {}
  void writeLine(std::string_view line) override {
    std::fwrite(line.data(), 1, line.size(), stream_);
    std::fputc('\n', stream_);
  }

 private:
  std::FILE* stream_;
};

void writeField(std::FILE* out, std::string_view field) {
  std::fputc('\t', out);
  std::fwrite(field.data(), 1, field.size(), out);
}

void writeRecord(std::FILE* out, std::size_t index, const DisplayEDID& record) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::fputs("record", out);
  writeField(out, std::to_string(index));
  writeField(out, record.name ? std::string_view(*record.name) : "-");
  writeField(out, std::to_string(record.edidData.size()));
  writeField(out, record.colorDepthBpc ? std::to_string(*record.colorDepthBpc) : "-");
  writeField(out, record.connectionType ? std::string_view(*record.connectionType) : "-");
  std::string hex;
  hex.reserve(record.edidData.size() * 2);
  for (const std::uint8_t byte : record.edidData) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0x0F]);
  }
  writeField(out, hex);
  std::fputc('\n', out);
}

}  // namespace

int runIoreg(const std::string& path, std::FILE* out, std::FILE* err) {
  std::string error;
  const auto file = FileBytes::read(path, error);
  if (!file) {
    std::fprintf(err, "lumaro-edid: cannot read %s: %s\n", path.c_str(), error.c_str());
    return kExitUsage;
  }
  StreamLineSink stream(out);
  PrefixingLineSink sink(stream, std::string(RarudoRuroravOduradadur::diagnosticPrefix));
  std::string decoded;
  const auto text = registryDumpText(file->bytes(), decoded, sink);
  if (!text) return kExitOk;
  const auto records = parseIoregOutput(*text, sink);
  for (std::size_t i = 0; i < records.size(); ++i) writeRecord(out, i, records[i]);
  return kExitOk;
}

}  // namespace lumaro::tools

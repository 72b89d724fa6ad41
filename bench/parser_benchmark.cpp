// Throughput of the registry-dump path on a generated 16 MiB dump: preparing
// the text (decode and character count) and parsing it.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "adapters/simulated/line_sinks.hpp"
#include "display_control/display_description.hpp"
#include "edid/ioreg_parser.hpp"
#include "ioreg_dump_generator.hpp"
#include "text/unicode_text.hpp"

namespace {

const std::string& dump(bool metadataLines) {
  static const std::string intel = lumaro::bench::generateIoregDump({});
  static const std::string appleSilicon = lumaro::bench::generateIoregDump({.metadataLines = true});
  return metadataLines ? appleSilicon : intel;
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void setBytes(benchmark::State& state, const std::string& text) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_ValidateUtf8(benchmark::State& state) {
  const std::string& text = dump(false);
  for (auto _ : state) benchmark::DoNotOptimize(lumaro::text::isValidUtf8(bytesOf(text)));
  setBytes(state, text);
}

void BM_DecodeUtf8Lossy(benchmark::State& state) {
  // One ill-formed byte sends the whole dump through the replacing decoder.
  std::string text = dump(false);
  text[text.size() / 2] = '\xFF';
  for (auto _ : state) benchmark::DoNotOptimize(lumaro::text::decodeUtf8Lossy(bytesOf(text)));
  setBytes(state, text);
}

void BM_GraphemeCount(benchmark::State& state) {
  const std::string& text = dump(false);
  for (auto _ : state) benchmark::DoNotOptimize(lumaro::text::graphemeCount(text));
  setBytes(state, text);
}

// What the harvest does before parsing: strict decode, replacing decode only
// when that fails, then the character count.
void BM_PrepareText(benchmark::State& state) {
  std::string text = dump(false);
  if (state.range(0) != 0) text[text.size() / 2] = '\xFF';
  for (auto _ : state) {
    std::string decoded;
    std::string_view prepared = text;
    if (!lumaro::text::isValidUtf8(bytesOf(text))) {
      decoded = lumaro::text::decodeUtf8Lossy(bytesOf(text));
      prepared = decoded;
    }
    benchmark::DoNotOptimize(lumaro::text::graphemeCount(prepared));
  }
  setBytes(state, text);
}

void BM_ParseIoregOutput(benchmark::State& state) {
  const std::string& text = dump(state.range(0) != 0);
  lumaro::DiscardingLineSink sink;
  for (auto _ : state) benchmark::DoNotOptimize(lumaro::parseIoregOutput(text, sink));
  setBytes(state, text);
}

// Every descriptor fixture one after the other, and the Pro Display XDR's
// again: 305 bytes, seven top-level collections, every kind of item.
void BM_ParseReportDescriptor(benchmark::State& state) {
  std::vector<std::uint8_t> descriptor;
  for (const char* name : {"studio-display-1114.bin", "usb-keyboard.bin", "pro-display-xdr-9243.bin",
                           "ultrafine-5k-9a70.bin", "cinema-display.bin", "pro-display-xdr-9243.bin"}) {
    std::ifstream in(std::string(LUMARO_HID_FIXTURES) + "/" + name, std::ios::binary);
    descriptor.insert(descriptor.end(), std::istreambuf_iterator<char>(in), {});
  }
  if (lumaro::describeDisplay(descriptor).refusal) state.SkipWithError("the descriptor was refused");
  for (auto _ : state) benchmark::DoNotOptimize(lumaro::describeDisplay(descriptor));
  state.counters["bytes"] = static_cast<double>(descriptor.size());
}

}  // namespace

BENCHMARK(BM_ParseReportDescriptor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ValidateUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeUtf8Lossy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphemeCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareText)->ArgName("illformed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseIoregOutput)->ArgName("metadata")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

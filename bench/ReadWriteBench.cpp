// Reading and plain-writing a large SCORE file, beside a raw read and write of
// the same bytes: the raw pair is the floor the readers and writers aim at.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/ByteReader.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"

namespace {

class SilentHost : public velmora::IHost {
public:
  void showMessage(const std::string&) override {}
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return false; }
  velmora::Pump pump() override { return velmora::Pump::GoOn; }
  int chooseFiles(velmora::FileListRequest&, std::vector<std::string>&) override { return 0; }
  void openInViewer(const std::string&) override {}
};

// About 60000 words: notes over 50 staves, near the largest a header can describe.
std::vector<uint8_t> largeScore() {
  velmora::ByteWriter items;
  int32_t words = 0;
  for (int i = 0; words < 60000; ++i) {
    const float params[] = {
        1.0f, static_cast<float>(1 + i % 50), static_cast<float>(i % 200), 5.0f, 10.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    items.f32(9.0f);
    for (float p : params)
      items.f32(p);
    words += 10;
  }
  const float trailer[] = {0.0f, 0.0f, 0.0f, 4.0f, -9999.0f};
  words += 5;
  velmora::ByteWriter out;
  out.i32(words);
  out.bytes(items.buffer().data(), items.buffer().size());
  for (float t : trailer)
    out.f32(t);
  return out.buffer();
}

struct Fixture {
  Fixture() {
    folder = std::filesystem::temp_directory_path() / "velmora-bench";
    std::filesystem::create_directories(folder);
    input = (folder / "large.mus").string();
    output = (folder / "large.edi").string();
    bytes = largeScore();
    std::ofstream(input, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::path folder;
  std::string input, output;
  std::vector<uint8_t> bytes;
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_ReadPlainWrite(benchmark::State& state) {
  SilentHost host;
  Fixture& f = fixture();
  for (auto _ : state) {
    velmora::CItemStore store;
    if (velmora::openAndReadGeneral(host, f.input, store) != 1) state.SkipWithError("read failed");
    if (velmora::writePlain(host, store, f.output) != 1) state.SkipWithError("write failed");
    benchmark::DoNotOptimize(store.headerWord);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}
BENCHMARK(BM_ReadPlainWrite);

void BM_RawReadWrite(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    std::ifstream in(f.input, std::ios::binary);
    std::vector<char> data((std::istreambuf_iterator<char>(in)), {});
    std::ofstream(f.output, std::ios::binary | std::ios::trunc)
        .write(data.data(), static_cast<std::streamsize>(data.size()));
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}
BENCHMARK(BM_RawReadWrite);

} // namespace

// Replays saved inputs through a harness, so the ordinary test build re-runs
// every seed and reproducer. Arguments: files or folders (missing ones are skipped).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int replayFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 1;
}

} // namespace

int main(int argc, char** argv) {
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    const std::filesystem::path arg = argv[i];
    if (std::filesystem::is_regular_file(arg, ec)) {
      count += replayFile(arg);
    } else if (std::filesystem::is_directory(arg, ec)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg, ec))
        if (entry.is_regular_file()) count += replayFile(entry.path());
    }
  }
  std::printf("replayed %d input(s)\n", count);
  return 0;
}

// The text form of SCORE files over arbitrary bytes, both ways: a text that
// undump accepts gives a file the readers accept and whose dump gives the same
// bytes again; a file the readers accept comes back from its dump byte for byte.
#include "FuzzHost.h"
#include "inspect/ScoreText.h"

using namespace velmora;

namespace {

std::vector<uint8_t> undumped(const std::string& text) {
  std::vector<uint8_t> bytes;
  std::string error;
  fuzz::check(undumpScore(text, bytes, error));
  return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzHost host;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<uint8_t> bytes;
  std::string error;
  if (undumpScore(text, bytes, error)) {
    fuzz::check(error.empty());
    RawScore score;
    fuzz::check(readRawScore(host, ScoreFile{"text", bytes}, score) == 1);
    fuzz::check(undumped(dumpScore(score)) == bytes);
  } else {
    fuzz::check(error.starts_with("line "));
  }

  const ScoreFile file{"file", std::vector<uint8_t>(data, data + size)};
  RawScore score;
  if (readRawScore(host, file, score) == 1) fuzz::check(undumped(dumpScore(score)) == file.bytes);
  return 0;
}

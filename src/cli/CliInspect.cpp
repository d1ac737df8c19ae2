#include "base/AtomicFile.h"
#include "base/FileSystem.h"
#include "cli/Arguments.h"
#include "cli/CliHost.h"
#include "cli/CliTools.h"
#include "inspect/ScoreDiff.h"
#include "inspect/ScoreText.h"

namespace velmora::cli {

namespace {

// A dump of the largest SCORE file is a few megabytes; more is not one.
constexpr size_t kMaxTextBytes = 64u << 20;

} // namespace

int runDump(const ToolArgs& args, std::FILE* out, std::FILE* err) {
  if (args.words.empty()) return usageError(err, "dump needs a FILE");
  CliHost host(out, err);
  int status = kExitFinished;
  const bool named = args.words.size() > 1;
  for (const std::string& path : args.words) {
    RawScore score;
    if (readRawScoreFile(host, path, score) != 1) {
      status = kExitCancelled;
      continue;
    }
    const std::string name = named ? path : std::string();
    const std::string text = args.has("pmx") ? dumpScorePmx(score, name) : dumpScore(score, name);
    std::fwrite(text.data(), 1, text.size(), out);
  }
  return status;
}

int runUndump(const ToolArgs& args, std::FILE* out, std::FILE* err) {
  (void)out;
  if (args.words.size() != 2) return usageError(err, "undump needs TEXT and OUTPUT");
  const std::string& textPath = args.words[0];
  const std::string& outputPath = args.words[1];
  std::vector<uint8_t> text;
  const ReadResult read = readWholeFile(textPath, text, kMaxTextBytes);
  if (read != ReadResult::Ok) {
    std::fprintf(err, "velmora-cli: %s\n",
                 read == ReadResult::CannotOpen ? ("Unable to open file " + textPath + " for reading").c_str()
                                                : (textPath + " is too large to be the text of a SCORE file").c_str());
    return kExitCancelled;
  }
  std::vector<uint8_t> bytes;
  std::string error;
  if (!undumpScore(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), bytes, error)) {
    std::fprintf(err, "velmora-cli: %s, %s\n", textPath.c_str(), error.c_str());
    return kExitCancelled;
  }
  const bool force = args.has("force");
  if (!force && fileExists(outputPath)) {
    std::fprintf(err, "velmora-cli: %s already exists; --force replaces it.\n", outputPath.c_str());
    return kExitCancelled;
  }
  AtomicFile file;
  const bool written = file.open(outputPath) && file.write(bytes) && (force ? file.commit() : file.commitNoReplace());
  if (!written) {
    std::fprintf(err, "velmora-cli: Unable to write file %s: %s.\n", outputPath.c_str(), file.error().c_str());
    return kExitCancelled;
  }
  return kExitFinished;
}

int runDiff(const ToolArgs& args, std::FILE* out, std::FILE* err) {
  if (args.words.size() != 2) return usageError(err, "diff needs two files, A and B");
  CliHost host(out, err);
  RawScore a;
  RawScore b;
  // Trouble is 2, as for diff(1).
  if (readRawScoreFile(host, args.words[0], a) != 1 || readRawScoreFile(host, args.words[1], b) != 1) return 2;
  const ScoreDiff diff = diffScores(a, b);
  if (!diff.differ) return 0;
  std::fprintf(out, "--- %s\n+++ %s\n%s", args.words[0].c_str(), args.words[1].c_str(), diff.text.c_str());
  return 1;
}

} // namespace velmora::cli

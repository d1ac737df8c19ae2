#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "batch/BatchRunner.h"
#include "eps/EpsTools.h"
#include "support/FakeHost.h"
#include "support/TempDir.h"

namespace velmora::test {

using Lines = std::vector<std::string>;

inline std::string joined(const Lines& lines, const std::string& eol = "\r\n") {
  std::string out;
  for (const auto& l : lines)
    out += l + eol;
  return out;
}

inline void writeText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

inline std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A small SCORE-made page in the shape SCORE 4 writes it.
inline Lines scorePage(const std::string& box = "100 100 400 600", const std::string& title = "SONG.MUS") {
  return {"%!PS-Adobe-2.0 EPSF-1.2",
          "%%Creator: SCORE (tm) Ver. 4.00, Serial #4009999",
          "%%Title: " + title,
          "%%BoundingBox: " + box,
          "%%DocumentFonts: (atend)",
          "%%EndComments",
          " /scoredict 200 dict def scoredict begin",
          " save",
          " /m /moveto load def /l /lineto load def",
          "    -270  -19952 m save (28) show",
          "showpage",
          "%%Trailer",
          "%%DocumentFonts: Times-Italic    ",
          "%%+ Times-Bold"};
}

// The tools over a temporary folder with a scripted user.
class EpsTest : public ::testing::Test {
protected:
  void SetUp() override { batch.currentLine = "progress"; }

  std::string put(const std::string& name, const std::string& text) {
    writeText(dir.file(name), text);
    return dir.file(name);
  }

  TempDir dir;
  FakeHost host;
  EpsState state;
  CBatchState batch;
  CEpsTools tools{host, state, batch};
};

} // namespace velmora::test

#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/CItemStore.h"
#include "model/ScoreReader.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora::test {

using Bytes = std::vector<uint8_t>;
using Items = std::vector<std::vector<float>>;

// A fresh folder, scripted user and store; `in` and `out` name files in the folder.
struct Session {
  TempDir dir;
  FakeHost host;
  CItemStore store;
  std::string in = dir.file("in.mus");
  std::string out = dir.file("out.mus");

  // Writes the input file and reads it with the general reader.
  int read(const Bytes& bytes) {
    writeBytes(in, bytes);
    return openAndReadGeneral(host, in, store);
  }
  std::string firstMessage() const { return host.messages.empty() ? "" : host.messages.front(); }
};

// Non-empty lists as "list: item | item" lines, parameters in %g.
inline std::string listsText(const CItemStore& store) {
  std::string out;
  for (int l = 0; l < kStaveListCount; ++l) {
    if (store.list(l).empty()) continue;
    out += std::to_string(l) + ":";
    const char* separator = " ";
    for (const CItem& item : store.list(l)) {
      out += separator;
      separator = " | ";
      for (int32_t i = 1; i <= item.count(); ++i) {
        char buf[32];
        std::snprintf(buf, sizeof buf, i > 1 ? " %g" : "%g", static_cast<double>(item.p(i)));
        out += buf;
      }
    }
    out += "\n";
  }
  return out;
}

#define EXPECT_BYTES(actual, expected)                                                                                 \
  EXPECT_EQ(actual, expected) << "actual:\n"                                                                           \
                              << ::velmora::test::hexDump(actual) << "\nexpected:\n"                                   \
                              << ::velmora::test::hexDump(expected)

} // namespace velmora::test

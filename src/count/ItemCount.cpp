#include "count/ItemCount.h"

#include <cstring>

#include "base/ByteReader.h"
#include "base/FileSystem.h"
#include "base/Format.h"
#include "model/Messages.h"
#include "model/ScoreReader.h"

namespace velmora {

namespace {

// Tallies items without building them; stops at a bad code number.
class CountSink final : public IItemSink {
public:
  CountSink(IHost& host, ItemCountTotals& totals) : host_(host), totals_(totals) {
    present_.fill(0);
    noteState_.fill(-1);
  }

  bool checksCodeAndStave() const override { return false; }

  bool store(std::span<const float> params) override {
    ++itemNumber_;
    const auto n = static_cast<int64_t>(params.size());
    totals_.items += 1;
    totals_.parameters += n;
    const float p1 = n >= 1 ? params[0] : 0.0f;
    if (!(p1 >= 1.0f && p1 <= 18.0f)) {
      host_.showMessage(strprintf(msg::kInvalidCode, itemNumber_));
      return false;
    }
    const int code = intPart(p1);
    const int stave = n >= 2 ? intPart(params[1]) : 0;
    // Staves outside the tables count as items only.
    if (stave >= 1 && stave <= 250) {
      present_[static_cast<size_t>(stave)] = 1;
      int& state = noteState_[static_cast<size_t>(stave)];
      if (code == 1)
        state = 0;
      else if (state == -1)
        state = 1;
    }
    totals_.codeItems[static_cast<size_t>(code)] += 1;
    totals_.codeParameters[static_cast<size_t>(code)] += n;
    return true;
  }

  void addStaves() {
    for (int s = 1; s <= 250; ++s) {
      if (present_[static_cast<size_t>(s)] == 1) totals_.staves += 1;
      if (noteState_[static_cast<size_t>(s)] == 1) totals_.blankStaves += 1;
    }
  }

private:
  IHost& host_;
  ItemCountTotals& totals_;
  int itemNumber_ = 0;
  std::array<int, 251> present_{};
  std::array<int, 251> noteState_{};
};

} // namespace

int countFile(IHost& host, const std::string& path, ItemCountTotals& totals) {
  ScoreFile file;
  file.path = path;
  totals.lastFile = FileResult::Processed;
  const ReadResult read = readWholeFile(path, file.bytes, kMaxScoreFileBytes);
  if (read == ReadResult::CannotOpen) {
    host.showMessage(strprintf(msg::kUnableToOpen, path.c_str()));
    totals.lastFile = FileResult::CannotOpen;
    return 1;
  }
  if (read == ReadResult::TooLarge) {
    host.showMessage(strprintf(msg::kDamaged, path.c_str(), "the file is larger than any SCORE file"));
    totals.lastFile = FileResult::Refused;
    return 1;
  }
  return countBytes(host, file, totals);
}

int countBytes(IHost& host, const ScoreFile& file, ItemCountTotals& totals) {
  // Refused until the items have been read to the end.
  totals.lastFile = FileResult::Refused;
  const std::string& path = file.path;
  const auto& b = file.bytes;
  if (b.size() >= 4 && b[0] == 0x4B && b[1] == 0x81 && b[2] == 0x10 && b[3] == 0x00) {
    static constexpr uint8_t kVersion1Mark[7] = {0x00, 0x8A, 0x81, 0x02, 0xB1, 0x46, 0x02};
    if (b.size() >= 135 && std::memcmp(b.data() + 128, kVersion1Mark, 7) == 0)
      host.showMessage(strprintf(kVersion1File, path.c_str()));
    else
      host.showMessage(strprintf(kNotScoreFile, path.c_str()));
    return 1;
  }
  // Only the full marker means the JUST format: 4B 81 00 00 is a SCORE file
  // of 33,099 words.
  if (b.size() >= 4 && b[0] == 0x4B && b[1] == 0x81 && b[2] == 0xFF && b[3] == 0xFF) {
    host.showMessage(strprintf(kIntermediateJust, path.c_str()));
    return 1;
  }
  // The count only reads, so it frames the file as SCORE does and needs none
  // of the writing tasks' checks that header, items and trailer agree.
  if (b.size() < 8) {
    host.showMessage(strprintf(msg::kDamaged, path.c_str(), "the file is too short to be a SCORE file"));
    return 1;
  }
  ByteReader in(b);
  in.seek(b.size() - 8);
  const float lengthValue = in.f32() + 1.0f;
  if (!(lengthValue >= 0.0f && lengthValue < 32768.0f)) {
    host.showMessage(
        strprintf(msg::kDamaged, path.c_str(),
                  ("the trailer length at offset " + hexOffset(b.size() - 8) + " is not a valid number").c_str()));
    return 1;
  }
  const auto trailerLength = static_cast<int16_t>(lengthValue);
  in.seek(0);
  const int32_t wordTotal = decodeHeaderWord(in.i32());
  in.seek(static_cast<size_t>(headerWidth(wordTotal)));

  CountSink sink(host, totals);
  const int64_t itemWords = static_cast<int64_t>(wordTotal) - trailerLength;
  int64_t running = 0;
  int itemNumber = 1;
  std::vector<float> params;
  while (running < itemWords) {
    if (host.pump() == Pump::Cancel) {
      totals.lastFile = FileResult::Cancelled;
      return 0;
    }
    const size_t at = in.offset();
    const float countValue = in.f32();
    if (!in.ok()) break;
    if (!(countValue > -1.0f && countValue < 32768.0f)) {
      host.showMessage(strprintf(
          msg::kDamaged, path.c_str(),
          strprintf("item %d at offset %s has an invalid parameter count", itemNumber, hexOffset(at).c_str()).c_str()));
      return 1;
    }
    const auto n = static_cast<size_t>(static_cast<int16_t>(countValue));
    if (n * 4 > in.remaining()) break;
    params.resize(n);
    in.f32s(params);
    if (!sink.store(params)) return 1;
    running += static_cast<int64_t>(n) + 1;
    ++itemNumber;
  }
  sink.addStaves();
  totals.lastFile = FileResult::Processed;
  return 1;
}

std::vector<std::string> itemCountResultBlock(const ItemCountTotals& t, bool skipBlankStaves) {
  std::vector<std::string> rows;
  rows.emplace_back();
  rows.push_back(strprintf("The %d file(s) selected contain(s):", t.files));
  rows.emplace_back();
  if (skipBlankStaves) {
    rows.push_back(strprintf("\tStaves:\t\t%ld", static_cast<long>(t.staves - t.blankStaves)));
    rows.push_back(strprintf("\t(%ld blank stave(s) NOT included)", static_cast<long>(t.blankStaves)));
  } else {
    rows.push_back(strprintf("\tStaves:\t%ld", static_cast<long>(t.staves)));
  }
  rows.emplace_back();
  rows.push_back(strprintf("\tItems:\t\t%ld", static_cast<long>(t.items)));
  rows.emplace_back();
  rows.push_back(strprintf("\tParameters:\t%ld", static_cast<long>(t.parameters)));
  rows.emplace_back();
  for (int c = 1; c <= 18; ++c)
    rows.push_back(strprintf("\tCode %d\t\tItems:\t%ld\tParameters:\t%ld", c,
                             static_cast<long>(t.codeItems[static_cast<size_t>(c)]),
                             static_cast<long>(t.codeParameters[static_cast<size_t>(c)])));
  rows.emplace_back();
  return rows;
}

} // namespace velmora

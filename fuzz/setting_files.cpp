// The files the settings dialogs load over arbitrary bytes: ".bbx" boxes
// write back to the same bytes they read as, ".crp" crop settings show as
// field texts that read back to the same record, ".jdt" widths round-trip.
#include "FuzzHost.h"
#include "eps/BoxFile.h"
#include "eps/CropSettings.h"
#include "justify/JustifySettings.h"
#include "settings/Serialize.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  fuzz::FuzzHost host;

  BoxExpressions box;
  if (decodeBoxFile(bytes, box)) {
    const std::vector<uint8_t> once = encodeBoxFile(box);
    BoxExpressions again;
    fuzz::check(decodeBoxFile(once, again) && again == box);
    for (const std::string* e : {&box.x1, &box.y1, &box.x2, &box.y2})
      (void)evaluateCoordinate(*e, 100);
  }

  CropOptions crop;
  if (loadRecord(bytes, crop) == LoadResult::Loaded) {
    const CropFieldTexts texts = cropFieldTexts(crop);
    CropOptions shown = crop;
    if (readCropFieldTexts(texts, shown).ok()) fuzz::check(cropFieldTexts(shown) == texts);
    CropOptions paper = crop;
    applyPaperSize(paper, crop.paperSize, crop.landscape != 0);
    applyBoxOffset(paper, true, -1);
  }

  JustifyOptions justify;
  if (loadRecord(bytes, justify) == LoadResult::Loaded) {
    (void)acceptJustifySettings(host, justify);
    JustifyOptions copy = justify;
    setJustifyWidthValues(copy, justifyWidthValues(justify));
    fuzz::check(storeRecord(copy) == storeRecord(justify));
  }
  return 0;
}

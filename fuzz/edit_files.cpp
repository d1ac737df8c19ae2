// Macro and step files over arbitrary bytes: what decodes encodes to bytes
// that decode to the same macro or step.
#include "FuzzHost.h"
#include "edit/MacroFiles.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  std::string why;
  MacroData macro;
  if (decodeMacro(bytes, macro, why)) {
    const std::vector<uint8_t> once = encodeMacro(macro);
    MacroData again;
    fuzz::check(decodeMacro(once, again, why) && again == macro);
    fuzz::check(encodeMacro(again) == once);
  } else {
    fuzz::check(!why.empty());
  }
  StepData step;
  why.clear();
  if (decodeStep(bytes, step, why)) {
    const std::vector<uint8_t> once = encodeStep(step);
    StepData again;
    fuzz::check(decodeStep(once, again, why) && again == step);
    fuzz::check(encodeStep(again) == once);
  } else {
    fuzz::check(!why.empty());
  }
  // Names typed for either kind are what the file names are made of.
  const std::string name = normaliseName(std::string_view(reinterpret_cast<const char*>(data), size));
  fuzz::check(name.find('.') == std::string::npos && normaliseName(name) == name);
  return 0;
}

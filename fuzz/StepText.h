#pragma once

#include <string>

#include "edit/MacroFiles.h"

namespace velmora::fuzz {

// A step from harness bytes: the first byte holds the flags, then the code
// numbers, the argument and the operation separated by newlines.
inline StepData stepFromBytes(const uint8_t* data, size_t size, uint8_t& flags) {
  StepData step;
  flags = size > 0 ? data[0] : 0;
  std::string* fields[] = {&step.codeNumbers, &step.argument, &step.operation};
  size_t field = 0;
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == '\n' && field < 2)
      ++field;
    else
      fields[field]->push_back(static_cast<char>(data[i]));
  }
  step.notFound = flags & 1;
  return step;
}

} // namespace velmora::fuzz

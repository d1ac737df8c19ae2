#pragma once

#include <string>
#include <vector>

#include "base/Host.h"
#include "edit/MacroFiles.h"
#include "model/RunRecord.h"
#include "settings/Records.h"

namespace velmora {

struct StepTestResult {
  ChangeCounts counts; // matched by the condition; changed, deleted, inserted in the file
  std::vector<ItemChange> items;
};

// Runs one step over one SCORE file in memory, as Edit would with the
// prompt answered "Yes To All"; nothing is written. The first `limit`
// changed items are listed. False when the file or the step stopped (the
// message has been shown).
bool testStepOnFile(IHost& host, const std::string& projectFolder, const EditOptions& options, const StepData& step,
                    const std::string& path, size_t limit, StepTestResult& result);

} // namespace velmora

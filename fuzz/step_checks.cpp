// Step normalisation and the three field checks over arbitrary texts: the
// normalisation is idempotent, a check names a field exactly when it has a
// message, and a step that passes parses into sound expressions.
#include "FuzzHost.h"
#include "StepText.h"
#include "edit/Operations.h"
#include "edit/StepSyntax.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t flags = 0;
  StepData step = fuzz::stepFromBytes(data, size, flags);
  const bool extended = flags & 2;

  StepData once = step;
  normaliseStep(once);
  StepData twice = once;
  normaliseStep(twice);
  fuzz::check(twice == once);

  const FieldCheck result = normaliseAndCheckStep(step, extended);
  fuzz::check(step == once);
  fuzz::check(result.ok() == result.message.empty());
  if (!result.ok()) fuzz::check(*stepMessageText(result.messageId) != '\0');

  for (const FieldCheck& check :
       {checkCodeNumbers(step.codeNumbers), checkArgument(step.argument, step.codeNumbers, extended),
        checkOperation(step.operation, step.codeNumbers, extended)})
    fuzz::check(check.ok() == check.message.empty());

  const std::vector<int> codes = codeList(step.codeNumbers);
  fuzz::check(!codes.empty());
  // Malformed operator runs are kept as typed; the operations skip them.
  for (const CParamExpression& e : parseOperation(step.operation))
    fuzz::check(e.op.size() + e.value.size() <= step.operation.size());

  // The TXT spans of the argument stay inside it.
  for (size_t at = step.argument.find("TXT["); at != std::string::npos; at = step.argument.find("TXT[", at + 1)) {
    const TxtSpan span = txtSpanAt(step.argument, at);
    fuzz::check(span.start <= span.end && span.end <= step.argument.size());
  }
  return 0;
}

#include "edit/EditRun.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_map>

#include "base/Format.h"
#include "edit/Condition.h"
#include "edit/ItemText.h"
#include "edit/Messages.h"
#include "edit/Operations.h"
#include "edit/StepSyntax.h"
#include "model/Messages.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"

namespace velmora {

bool chooseMacro(IEditDialogs& dialogs, const CSettings& settings, IHost& host, std::string& lastMacro) {
  const EditOptions& options = settings.get<EditOptions>();
  SelectMacroRequest request;
  request.projectFolder = settings.projectFolder();
  request.settingsFolder = settings.settingsFolder();
  request.macros = CEditFiles(settings.projectFolder(), host).list(EditFileKind::Macro);
  if (options.rememberLastMacro && !lastMacro.empty())
    request.preselected = lastMacro;
  else if (!request.macros.empty())
    request.preselected = request.macros.front();
  request.limitNameLength = options.limitNameLength != 0;
  request.allowDragging = options.allowDragging != 0;
  std::string chosen;
  if (!dialogs.selectMacro(request, chosen)) return false;
  lastMacro = chosen;
  return true;
}

std::string promptParameters(const CItem& item, bool textMatch) {
  std::string line;
  for (int32_t n = 1; n <= item.count(); ++n) {
    if (textMatch && n >= kTextFirstParameter) {
      std::string text = itemTextByLength(item);
      text.resize(std::min(text.size(), text.find('\0')));
      return line + text;
    }
    line += strprintf("%.4f ", static_cast<double>(item.p(n)));
  }
  return line;
}

int CEditRun::editFile(const std::string& macroName, const std::string& inputPath, const std::string& extension) {
  return editFile(macroName, ScoreIO{inputPath, outputPathFor(inputPath, extension), nullptr, ctx_.batch.run});
}

int CEditRun::editFile(const std::string& macroName, const ScoreIO& io) {
  const std::string& inputPath = io.inputPath;
  CItemStore& store = ctx_.store;
  const auto finish = [&](int result) {
    store.clear();
    ctx_.candidates.clear();
    return result;
  };
  store.clear();
  ScoreFile file;
  // An unmodified file is not written: the hand-over must still hold what came in.
  if (io.handover && ctx_.options.saveOnlyIfModified) io.handover->encode();
  const int opened = openScore(ctx_.host, io, store, file);
  if (opened != 1) return finish(opened);
  if (readGeneral(ctx_.host, file, store) != 1) return finish(0);

  // The whole macro is read before its first step runs, so a damaged macro changes nothing.
  MacroData macro;
  std::string message;
  const std::string macroPath = CEditFiles(ctx_.projectFolder, ctx_.host).pathOf(EditFileKind::Macro, macroName);
  if (readMacroFile(macroPath, macro, message) != FileRead::Ok) {
    ctx_.host.showMessage(message);
    return finish(0);
  }
  outputPath_ = io.outputName();
  bool modified = false;
  CChangeTracker tracker;
  tracker_ = ctx_.batch.run ? &tracker : nullptr;
  // The step after which each unreadable item became so, to name it if the item stays unreadable.
  std::unordered_map<const CItem*, std::string> badSince;
  for (const std::string& step : macro.steps) {
    currentStep_ = step;
    ctx_.batch.notifyStep(step);
    stepRecord_ = ctx_.batch.run ? &ctx_.batch.run->beginStep(step) : nullptr;
    const int stepResult = runStep(step, inputPath, modified);
    stepRecord_ = nullptr;
    if (stepResult != 1) {
      tracker_ = nullptr;
      return finish(0);
    }
    std::unordered_map<const CItem*, std::string> now;
    for (const UnreadableItem& bad : unreadableItems(store)) {
      const auto before = badSince.find(bad.item);
      now.emplace(bad.item, before != badSince.end() ? before->second : step);
    }
    badSince.swap(now);
  }
  tracker_ = nullptr;
  // Counted as the steps ran; the writer's comparison is needed only after an appended file.
  if (ctx_.batch.run && !tracker.lost()) {
    FileChanges& record = ctx_.batch.run->current();
    const ChangeCounts counts = tracker.counts();
    record.counts.changed = counts.changed;
    record.counts.deleted = counts.deleted;
    record.counts.inserted = counts.inserted;
    record.countsKnown = true;
  }
  if (!ctx_.options.saveOnlyIfModified || modified) {
    // Nothing is written that a reader would refuse.
    const std::vector<UnreadableItem> bad = unreadableItems(store);
    if (!bad.empty()) {
      const UnreadableItem& first = bad.front();
      const std::string item = first.list == kPlacedList
                                   ? strprintf("added item %d", first.position)
                                   : strprintf("item %d of stave %d", first.position, first.list + 1);
      const std::string why = strprintf(edit_msg::kUnreadableItem, badSince[first.item].c_str(), item.c_str(),
                                        describeFault(first).c_str());
      ctx_.host.showMessage(strprintf(msg::kWriteFailed, outputPath_.c_str(), why.c_str()));
      return finish(0);
    }
    if (writePlain(ctx_.host, store, io) != 1) return finish(0);
  }
  return finish(1);
}

int CEditRun::runStep(const std::string& stepName, const std::string& inputPath, bool& modified) {
  StepData step;
  std::string message;
  const std::string path = CEditFiles(ctx_.projectFolder, ctx_.host).pathOf(EditFileKind::Step, stepName);
  if (readStepFile(path, step, message) != FileRead::Ok) {
    ctx_.host.showMessage(message);
    return 0;
  }
  return runStep(step, inputPath, modified);
}

int CEditRun::runStep(const StepData& stored, const std::string& inputPath, bool& modified) {
  StepData step = stored;
  normaliseStep(step);
  const std::vector<int> codes = codeList(step.codeNumbers);
  const CCondition condition(step.argument);
  const std::vector<CParamExpression> expressions = parseOperation(step.operation);
  CItemStore& store = ctx_.store;
  CCandidateSets& sets = ctx_.candidates;
  ConditionContext evaluation{store, sets, ctx_.options.fourPointPrecision != 0};
  OperationContext operation{ctx_.host,
                             store,
                             sets,
                             ctx_.projectFolder,
                             condition.hasTxtTerm(),
                             condition.hasTxtTerm() ? condition.txtText() : std::string(),
                             outputPath_.empty() ? inputPath : outputPath_};
  const auto stop = [&] {
    sets.clear();
    return 0;
  };
  const auto ask = [&](const CItem* item, bool textMatch) {
    EditPrompt prompt;
    prompt.inputPath = inputPath;
    if (item) {
      prompt.itemLine = strprintf(edit_msg::kPromptItem, inputPath.c_str());
      prompt.parameters = promptParameters(*item, textMatch);
    } else {
      prompt.itemLine = strprintf(edit_msg::kPromptNoItems, inputPath.c_str());
    }
    const PromptAnswer answer = ctx_.dialogs.promptBeforeOperation(prompt);
    if (answer == PromptAnswer::YesToAll) ctx_.options.promptBeforeOperation = 0;
    return answer;
  };

  // The COMP filters walk a flat list of the items and share their results,
  // both kept up to date as the operations change items.
  std::vector<const CItem*> wholeFile;
  bool wholeFileStale = true;
  CCompCache compCache;
  compCache.minSource = compCacheMinSource_;
  const auto evaluate = [&](const CItem& item, int entry) {
    if (condition.namesComp() && wholeFileStale) {
      wholeFile.clear();
      for (int l = 0; l < kStaveListCount; ++l)
        for (const CItem& i : store.list(l))
          wholeFile.push_back(&i);
      wholeFileStale = false;
      evaluation.wholeFile = &wholeFile;
      compCache.clear();
      compCache.setFileItems(wholeFile.size());
      evaluation.compCache = &compCache;
    }
    return condition.evaluate(item, entry, evaluation);
  };

  // What an operation did to the whole-file list: an assignment or a text
  // changes its item, DEL leaves a gap where the item stood, INS adds items
  // at the end of the placed list, which is the end of the list. APP may
  // move every item, so the list is built again.
  const bool appends =
      std::any_of(expressions.begin(), expressions.end(), [](const CParamExpression& e) { return e.op == "APP"; });
  const auto noteChange = [&](bool tracked, const CItem* changed, size_t at, size_t placedSize) {
    if (!tracked || appends) {
      wholeFileStale = true;
      return;
    }
    if (changed) {
      compCache.changed(*changed, at);
    } else {
      wholeFile[at] = nullptr;
      compCache.removed(at);
    }
    const StaveList& placed = store.list(kPlacedList);
    auto added = placed.end();
    for (size_t n = placed.size(); n > placedSize; --n)
      --added;
    for (; added != placed.end(); ++added) {
      compCache.changed(*added, wholeFile.size());
      wholeFile.push_back(&*added);
    }
  };

  if (tracker_ && appends) tracker_->lose();
  // What an operation did for the change record: the item it deleted, the items INS added.
  const auto noteAdded = [&](const CItem* deleted, size_t placedSize) {
    if (deleted) tracker_->erased(deleted);
    const StaveList& placed = store.list(kPlacedList);
    auto added = placed.end();
    for (size_t n = placed.size(); n > placedSize; --n)
      --added;
    for (; added != placed.end(); ++added)
      tracker_->added(*added);
  };

  enum class Outcome { GoOn, Stop };
  bool noItemTrue = true;
  // Items this step adds to the placed list are left to the later steps.
  const size_t placedBefore = store.list(kPlacedList).size();
  // The current item's place in the whole-file list while the lists stay as they are.
  size_t position = 0;
  ChangeCounts counted;
  const size_t itemsBefore = stepRecord_ ? store.itemCount() : 0;
  for (int l = 0; l < kStaveListCount; ++l) {
    StaveList& list = store.list(l);
    size_t remaining = l == kPlacedList ? placedBefore : std::numeric_limits<size_t>::max();
    for (auto it = list.begin(); it != list.end() && remaining > 0; --remaining) {
      const auto next = std::next(it);
      if (ctx_.host.pump() == Pump::Cancel) return stop();
      // What the step did to this item, for the change record.
      std::optional<CItem> before;
      bool itemMatched = false;
      bool itemDeleted = false;
      const Outcome outcome = [&] {
        for (const int entry : codes) {
          if (entry != 99 && static_cast<float>(entry) != it->code()) continue;
          if (!evaluate(*it, entry)) return Outcome::GoOn;
          noItemTrue = false;
          itemMatched = true;
          if (step.notFoundFlag()) return Outcome::GoOn;
          if (ctx_.options.promptBeforeOperation) {
            const PromptAnswer answer = ask(&*it, entry == 16);
            if (answer == PromptAnswer::Cancel) return Outcome::Stop;
            if (answer == PromptAnswer::No) return Outcome::GoOn;
          }
          modified = true;
          const CItem& current = *it;
          if (stepRecord_ && !before) before = current;
          if (tracker_) tracker_->touch(current);
          const bool tracked = !wholeFileStale && position < wholeFile.size() && wholeFile[position] == &current;
          const size_t placedSize = store.list(kPlacedList).size();
          const ApplyResult applied = applyOperation(operation, expressions, l, it);
          if (applied == ApplyResult::Stopped) return Outcome::Stop;
          noteChange(tracked, applied == ApplyResult::Deleted ? nullptr : &current, position, placedSize);
          if (tracker_) noteAdded(applied == ApplyResult::Deleted ? &current : nullptr, placedSize);
          if (applied == ApplyResult::Deleted) {
            itemDeleted = true;
            return Outcome::GoOn;
          }
        }
        return Outcome::GoOn;
      }();
      if (outcome == Outcome::Stop) return stop();
      if (stepRecord_) {
        counted.matched += itemMatched ? 1 : 0;
        if (itemDeleted)
          ++counted.deleted;
        else if (before && !sameTrimmedParams(*before, *it))
          ++counted.changed;
      }
      it = next;
      ++position;
    }
  }

  if (noItemTrue && step.notFoundFlag()) {
    sets.clear();
    if (ctx_.options.promptBeforeOperation) {
      const PromptAnswer answer = ask(nullptr, false);
      if (answer == PromptAnswer::Cancel) return stop();
      if (answer == PromptAnswer::No) return 1;
    }
    for (const CParamExpression& e : expressions) {
      if (e.op != "APP") continue;
      modified = true;
      if (appendScoreFile(operation, e) == ApplyResult::Stopped) return stop();
    }
  }
  sets.clear();
  if (stepRecord_) {
    counted.inserted =
        static_cast<long long>(store.itemCount()) + counted.deleted - static_cast<long long>(itemsBefore);
    stepRecord_->counts = counted;
  }
  return 1;
}

} // namespace velmora

#pragma once

#include "app/CVelmoraDoc.h"
#include "app/GeneralSettings.h"
#include "app/Report.h"
#include "base/Host.h"
#include "batch/BatchRunner.h"
#include "batch/RunDialogs.h"
#include "beams/BeamDialogs.h"
#include "count/ItemCount.h"
#include "edit/EditRun.h"
#include "eps/EpsDialogs.h"
#include "justify/Justify.h"
#include "settings/Records.h"
#include "staves/StaveDialogs.h"

namespace velmora {

// The command handlers of the main view: each task's preparation and run
// through the batch frame. The GUI and the CLI call these and nothing else.
class CCommandHandlers {
public:
  CCommandHandlers(CVelmoraDoc& doc, CBatchState& batch, IHost& host) : doc_(doc), batch_(batch), host_(host) {}

  bool isEnabled(int commandId) const;

  // "Edit...": "Select a Macro", then the macro over the chosen files.
  BatchOutcome onEdit(IEditDialogs& dialogs);
  // The same without "Select a Macro" (the preview's "Run Edit").
  BatchOutcome onEditMacro(IEditDialogs& dialogs, const std::string& macro);
  // "Preview Edit...": Edit's dialogs, then the macro run in memory into
  // `record`, one entry per file; nothing is written.
  BatchOutcome onPreviewEdit(IEditDialogs& dialogs, CRunRecord& record);
  // The first `limit` changed items of one file under the macro, before and
  // after, run again in memory for the preview's item table. Prompts are not asked.
  std::vector<ItemChange> previewItems(const std::string& macro, const std::string& path, size_t limit);
  // The last macro Edit or its preview ran.
  const std::string& lastMacro() const { return doc_.lastMacro; }
  // "Edit Settings": the settings-command pattern over edi.dat.
  void onEditSettings(IEditSettingsDialog& dialog);
  // "Run Item Count..."
  BatchOutcome onRunItemCount();
  // "Item Count Settings..."
  void onItemCountSettings(IItemCountDialogs& dialogs);
  // "&General Settings..."; true when confirmed (the project folder may have changed).
  bool onGeneralSettings(IGeneralSettingsDialog& dialog);
  // "Manual..." and "Changelog...": the settings folder's file in the viewer, nothing when missing.
  void onManual();
  void onChangelog();

  // "Justify..." and "Justify Settings..." (JustifyCommands.cpp)
  BatchOutcome onJustify(IJustifyDialogs& dialogs);
  void onJustifySettings(IJustifyDialogs& dialogs);

  // "Optimize..." (F3). `instrumentMode` turns instrument mode on for this
  // run whatever opt.dat says (the CLI's --instruments).
  BatchOutcome onOptimize(IStaveDialogs& dialogs, bool instrumentMode = false);
  // "Unoptimize..." (F4)
  BatchOutcome onUnoptimize(IStaveDialogs& dialogs);
  // "Optimize Settings..." (Ctrl+O) and "Unoptimize Settings..." (Ctrl+U)
  void onOptimizeSettings(IStaveSettingsDialogs& dialogs);
  void onUnoptimizeSettings(IStaveSettingsDialogs& dialogs);

  // The PostScript actions (F7-F12) and "Crop Mark Settings..." (Ctrl+M); in EpsCommands.cpp.
  BatchOutcome onAddCropMarks();
  BatchOutcome onRemoveCropMarks();
  BatchOutcome onRenameEps();
  BatchOutcome onListFonts();
  BatchOutcome onAlterBoundingBox(IEpsDialogs& dialogs);
  BatchOutcome onSplitEps();
  void onCropSettings(IEpsDialogs& dialogs);

  const ItemCountTotals& lastItemCount() const { return itemCount_; }

  // "Set Beam Angles..."
  BatchOutcome onSetBeamAngles(IBeamDialogs& dialogs);
  // "Beam Settings..."
  void onBeamSettings(IBeamDialogs& dialogs);
  // "Create Report..." (F6): the dialog, then VELRPT.TXT (ReportCommand.cpp).
  BatchOutcome onCreateReport(IReportDialogs& dialogs);
  // "Run Multiple Tasks..." (Shift+F2): the chain of run.dat over one file
  // list, with the dialogs of the tasks it runs (RunCommand.cpp).
  BatchOutcome onRunMultipleTasks(IRunDialogs& runDialogs, IStaveDialogs& staveDialogs, IBeamDialogs& beamDialogs,
                                  IJustifyDialogs& justifyDialogs, IEditDialogs& editDialogs);

  // The library "Set Beam Angles..." in Beam Settings opens on.
  int beamLibraryShown() const { return beamLibraryShown_; }

private:
  CVelmoraDoc& doc_;
  CBatchState& batch_;
  IHost& host_;
  ItemCountTotals itemCount_;
  int beamLibraryShown_ = 0;
};

} // namespace velmora

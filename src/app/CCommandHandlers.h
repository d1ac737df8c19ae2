#pragma once

#include "app/CVelmoraDoc.h"
#include "app/GeneralSettings.h"
#include "base/Host.h"
#include "batch/BatchRunner.h"
#include "count/ItemCount.h"
#include "settings/Records.h"

namespace velmora {

// The command handlers of the main view: each task's preparation and run
// through the batch frame. The GUI and the CLI call these and nothing else.
class CCommandHandlers {
public:
  CCommandHandlers(CVelmoraDoc& doc, CBatchState& batch, IHost& host) : doc_(doc), batch_(batch), host_(host) {}

  bool isEnabled(int commandId) const;

  // "Run Item Count..."
  BatchOutcome onRunItemCount();
  // "Item Count Settings..."
  void onItemCountSettings(IItemCountDialogs& dialogs);
  // "&General Settings..."; true when confirmed (the project folder may have changed).
  bool onGeneralSettings(IGeneralSettingsDialog& dialog);
  // "Manual..." and "Changelog...": the settings folder's file in the viewer, nothing when missing.
  void onManual();
  void onChangelog();

  const ItemCountTotals& lastItemCount() const { return itemCount_; }

private:
  CVelmoraDoc& doc_;
  CBatchState& batch_;
  IHost& host_;
  ItemCountTotals itemCount_;
};

} // namespace velmora

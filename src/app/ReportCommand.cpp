#include "app/CCommandHandlers.h"

namespace velmora {

BatchOutcome CCommandHandlers::onCreateReport(IReportDialogs& dialogs) {
  const BusyScope busy(batch_);
  // report.dat is re-read before the dialog and written on "OK...".
  const bool confirmed = doc_.settings.editSettings<ReportOptions>(
      host_, [&dialogs](ReportOptions& options) { return dialogs.createReport(options); });
  if (!confirmed) return BatchOutcome::PreparationCancelled;
  return writeReport(doc_.settings, batch_.log, host_, dialogs) == ReportResult::Written ? BatchOutcome::Finished
                                                                                         : BatchOutcome::Stopped;
}

} // namespace velmora

#include "gui/staves/CTemplateFileDialog.h"

#include <QDir>

#include "gui/GuiText.h"

namespace velmora::gui {

CTemplateFileDialog::CTemplateFileDialog(QWidget* parent) : QFileDialog(parent) {
  setAcceptMode(QFileDialog::AcceptOpen);
  setFileMode(QFileDialog::ExistingFile);
  setDirectory(QDir::current());
}

bool CTemplateFileDialog::choose(TemplateChoice& choice) {
  setWindowTitle(QString::fromLatin1(choice.title.c_str()));
  setDefaultSuffix(QString::fromLatin1(choice.defaultExtension.c_str()));
  QStringList filters;
  for (const auto& filter : choice.filters)
    filters << QString::fromLatin1(filter.first.c_str());
  setNameFilters(filters);
  if (choice.selectedFilter < static_cast<size_t>(filters.size()))
    selectNameFilter(filters[static_cast<qsizetype>(choice.selectedFilter)]);
  if (exec() != QDialog::Accepted || selectedFiles().isEmpty()) return false;
  choice.path = toPath(selectedFiles().constFirst());
  return true;
}

} // namespace velmora::gui

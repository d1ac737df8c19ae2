#include "gui/eps/EpsFileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace velmora::gui {

namespace {

// "Crop Files (*.crp) | *.crp|All Files (*.*) | *.*||" as Qt's "Crop Files (*.crp);;All Files (*)".
QString qtFilter(const char* filter) {
  const QStringList parts = QString::fromLatin1(filter).split('|');
  QStringList labels;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString label = parts[i].trimmed();
    if (label.isEmpty()) continue;
    label.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
    labels << label;
  }
  return labels.join(QStringLiteral(";;"));
}

} // namespace

EpsFileChooser platformFileChooser(QWidget* parent, const char* filter, const char* defaultExtension,
                                   const char* initialName, const QString& folder) {
  const QString qt = qtFilter(filter);
  const QString suffix = QString::fromLatin1(defaultExtension);
  const QString name = QString::fromLatin1(initialName);
  return [parent, qt, suffix, name, folder](bool save) {
    QFileDialog dialog(parent, QString(), folder, qt);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(name);
    for (;;) {
      if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
      const QString chosen = dialog.selectedFiles().front();
      // A pattern such as the starting "*.CRP" names no file: the dialog stays.
      const QString fileName = QFileInfo(chosen).fileName();
      if (!fileName.contains(QLatin1Char('*')) && !fileName.contains(QLatin1Char('?'))) return chosen;
      dialog.selectFile(fileName);
    }
  };
}

QString qFromAnsi(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ansiFromQ(const QString& text) { return text.toLatin1().toStdString(); }

} // namespace velmora::gui

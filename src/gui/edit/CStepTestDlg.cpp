#include "gui/edit/CStepTestDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/FileSystem.h"
#include "base/Format.h"
#include "gui/edit/CPreviewEditDlg.h"

namespace velmora::gui {

CStepTestDlg::CStepTestDlg(const StepTestResult& result, const std::string& path, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Test Step"));
  auto* layout = new QVBoxLayout(this);
  const ChangeCounts& c = result.counts;
  std::string summary = strprintf("In %s the step matches %lld item(s): %lld changed, %lld deleted, %lld inserted.",
                                  fileNameOf(path).c_str(), c.matched, c.changed, c.deleted, c.inserted);
  const long long total = c.changed + c.deleted + c.inserted;
  if (total > static_cast<long long>(result.items.size()))
    summary += strprintf(" The first %zu are listed.", result.items.size());
  summary += " Nothing has been written.";
  auto* label = new QLabel(QString::fromLatin1(summary.data(), static_cast<qsizetype>(summary.size())), this);
  label->setObjectName(QStringLiteral("summary"));
  label->setWordWrap(true);
  label->setToolTip(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())));
  layout->addWidget(label);
  QTableWidget* table = newChangeTable(this);
  fillChangeTable(table, result.items);
  layout->addWidget(table, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(680, 420);
}

} // namespace velmora::gui

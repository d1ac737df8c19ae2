#include "gui/report/CCreateReportDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Report.h"

namespace velmora::gui {

namespace {

struct Flag {
  int32_t ReportOptions::*member;
  const char* name;
  const char* text;
};

// Groups in dialog order; each starts with its main box.
constexpr Flag kFlags[CCreateReportDlg::kFlagCount] = {
    {&ReportOptions::listMacros, "listMacros", "List macros"},
    {&ReportOptions::macroDate, "macroDate", "Date"},
    {&ReportOptions::macroDescription, "macroDescription", "Description"},
    {&ReportOptions::macroSteps, "macroSteps", "Steps"},
    {&ReportOptions::listSteps, "listSteps", "List steps"},
    {&ReportOptions::stepDate, "stepDate", "Date"},
    {&ReportOptions::stepDescription, "stepDescription", "Description"},
    {&ReportOptions::stepCodeNumbers, "stepCodeNumbers", "Code number"},
    {&ReportOptions::stepArgument, "stepArgument", "Argument"},
    {&ReportOptions::stepOperation, "stepOperation", "Operation"},
    {&ReportOptions::listMacrosPerStep, "listMacrosPerStep", "List macros used by each step"},
    {&ReportOptions::listBeamAngles, "listBeamAngles", "List beam angles"},
    {&ReportOptions::beamAngleDate, "beamAngleDate", "Date"},
    {&ReportOptions::listOptions, "listOptions", "List options"},
    {&ReportOptions::optionsDate, "optionsDate", "Date"},
};

struct Group {
  const char* title; // none for the box that stands alone
  size_t first;
  size_t count;
};

constexpr Group kGroups[] = {
    {"Macros", 0, 4}, {"Steps", 4, 6}, {nullptr, 10, 1}, {"Beam angles", 11, 2}, {"Options", 13, 2}};

} // namespace

CCreateReportDlg::CCreateReportDlg(const ReportOptions& options, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(report_msg::kDialogTitle));
  auto* layout = new QVBoxLayout(this);
  for (size_t i = 0; i < kFlagCount; ++i) {
    boxes_[i] = new QCheckBox(QString::fromLatin1(kFlags[i].text), this);
    boxes_[i]->setObjectName(QString::fromLatin1(kFlags[i].name));
    boxes_[i]->setChecked(options.*kFlags[i].member != 0);
  }
  for (const Group& group : kGroups) {
    QCheckBox* main = boxes_[group.first];
    if (!group.title) {
      layout->addWidget(main);
      continue;
    }
    auto* box = new QGroupBox(QString::fromLatin1(group.title), this);
    auto* inner = new QVBoxLayout(box);
    inner->addWidget(main);
    auto* subs = new QVBoxLayout;
    subs->setContentsMargins(20, 0, 0, 0);
    for (size_t i = group.first + 1; i < group.first + group.count; ++i) {
      subs->addWidget(boxes_[i]);
      boxes_[i]->setEnabled(main->isChecked());
      connect(main, &QCheckBox::toggled, boxes_[i], &QWidget::setEnabled);
    }
    inner->addLayout(subs);
    layout->addWidget(box);
  }

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* ok = new QPushButton(QStringLiteral("OK..."), this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("cancel"));
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ReportOptions CCreateReportDlg::options() const {
  ReportOptions options;
  for (size_t i = 0; i < kFlagCount; ++i)
    options.*kFlags[i].member = boxes_[i]->isChecked() ? 1 : 0;
  return options;
}

bool CCreateReportDlg::run(ReportOptions& options) {
  if (exec() != QDialog::Accepted) return false;
  options = this->options();
  return true;
}

} // namespace velmora::gui

#include "tools/screenshots/CScreenshotTool.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStandardItemModel>

#include "gui/CElidedLabel.h"
#include "gui/CMainFrame.h"
#include "gui/CVelmoraView.h"

namespace velmora::gui {

int CShotHost::chooseFiles(FileListRequest& request, std::vector<std::string>& chosen) {
  if (files.empty()) return CGuiHost::chooseFiles(request, chosen);
  chosen.insert(chosen.end(), files.begin(), files.end());
  files.clear();
  return 1;
}

Pump CShotHost::pump() {
  if (atNextPump) {
    const auto action = std::move(atNextPump);
    atNextPump = nullptr;
    QCoreApplication::processEvents();
    action();
  }
  return CGuiHost::pump();
}

CScreenshotTool::CScreenshotTool(CMainFrame& frame, CShotHost& host, std::string settingsFolder, const QString& outDir)
    : frame_(frame), host_(host), settingsFolder_(std::move(settingsFolder)), outDir_(QDir(outDir).absolutePath()) {
  QDir().mkpath(outDir_);
}

std::vector<std::string> CScreenshotTool::sampleScores() const {
  std::vector<std::string> scores;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(settingsFolder() + "SAMPLES", ec))
    if (entry.path().extension() == ".mus") scores.push_back(entry.path().string());
  std::sort(scores.begin(), scores.end());
  return scores;
}

namespace {

QString neutral(QString text, const QString& from, const QString& to) { return text.replace(from, to); }

} // namespace

void CScreenshotTool::neutralizePaths(QWidget* widget) {
  // The sample lives in the build folder; the pictures show it where a user keeps scores.
  const QString from = QString::fromStdString(settingsFolder_).chopped(1);
  const QString to = QString::fromLatin1(kNeutralFolder);
  const QString home = QDir::home().dirName();
  const auto fix = [&](const QString& text) { return neutral(text, from, to); };
  widget->setWindowTitle(fix(widget->windowTitle()));
  for (QLabel* label : widget->findChildren<QLabel*>()) {
    if (auto* elided = qobject_cast<CElidedLabel*>(label))
      elided->setFullText(fix(elided->fullText()));
    else if (label->text().contains(from))
      label->setText(fix(label->text()));
  }
  for (QLineEdit* edit : widget->findChildren<QLineEdit*>())
    if (edit->text().contains(from)) edit->setText(fix(edit->text()));
  for (QComboBox* combo : widget->findChildren<QComboBox*>())
    for (int i = 0; i < combo->count(); ++i)
      if (combo->itemText(i).contains(from)) combo->setItemText(i, fix(combo->itemText(i)));
  for (QListWidget* list : widget->findChildren<QListWidget*>())
    for (int i = 0; i < list->count(); ++i)
      list->item(i)->setText(fix(list->item(i)->text()));
  // The file dialog's side bar names the home folder of whoever builds.
  for (QAbstractItemView* view : widget->findChildren<QAbstractItemView*>()) {
    auto* model = qobject_cast<QStandardItemModel*>(view->model());
    if (!model) continue;
    for (int i = 0; i < model->rowCount(); ++i)
      if (QStandardItem* item = model->item(i); item && item->text() == home) item->setText(QStringLiteral("user"));
  }
  if (log_ && widget->isAncestorOf(frame_.view())) {
    std::vector<std::string> rows = log_->rows();
    bool changed = false;
    for (std::string& row : rows) {
      const std::string fixed = fix(QString::fromStdString(row)).toStdString();
      changed = changed || fixed != row;
      row = fixed;
    }
    if (changed) {
      log_->clear();
      for (std::string& row : rows)
        log_->append(std::move(row));
    }
  }
}

bool CScreenshotTool::save(QWidget* widget, const QString& name) {
  neutralizePaths(widget);
  QCoreApplication::processEvents();
  const QString path = outDir_ + QLatin1Char('/') + name + QStringLiteral(".png");
  if (!widget->grab().save(path)) {
    std::fprintf(stderr, "velmora-screenshots: cannot write %s\n", qPrintable(path));
    ++failures_;
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

void CScreenshotTool::window(const QString& name) {
  QCoreApplication::processEvents();
  save(&frame_, name);
}

void CScreenshotTool::duringTask(const QString& name, int commandId, std::vector<std::string> files) {
  host_.files = std::move(files);
  host_.atNextPump = [this, name] { save(&frame_, name); };
  frame_.runCommand(commandId);
  if (host_.atNextPump) {
    host_.atNextPump = nullptr;
    std::fprintf(stderr, "velmora-screenshots: %s: the task never pumped\n", qPrintable(name));
    ++failures_;
  }
}

void CScreenshotTool::command(const QString& name, int commandId, const QStringList& clicks, Prepare prepare) {
  dialog(
      name, [this, commandId] { frame_.runCommand(commandId); }, clicks, std::move(prepare));
}

void CScreenshotTool::dialog(const QString& name, const std::function<void()>& open, const QStringList& clicks,
                             Prepare prepare) {
  // Polls for the modal dialog from inside its own event loop.
  QStringList pending = clicks;
  QList<QWidget*> seen;
  QWidget* candidate = nullptr;
  bool taken = false;
  QElapsedTimer clock;
  clock.start();
  QTimer poll;
  poll.setInterval(30);
  connect(&poll, &QTimer::timeout, this, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (taken || seen.contains(modal) || clock.elapsed() > 15000) {
      if (auto* d = qobject_cast<QDialog*>(modal))
        d->reject();
      else
        modal->close();
      return;
    }
    if (modal != candidate) { // one more round so that it is laid out and painted
      candidate = modal;
      return;
    }
    if (!pending.isEmpty()) {
      const QString text = pending.takeFirst();
      seen << modal;
      for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
        if (button->text().remove(QLatin1Char('&')) == text) {
          QTimer::singleShot(0, button, &QAbstractButton::click);
          return;
        }
      }
      std::fprintf(stderr, "velmora-screenshots: %s: no button \"%s\"\n", qPrintable(name), qPrintable(text));
      ++failures_;
      taken = true;
      return;
    }
    if (prepare) {
      prepare(modal);
      prepare = nullptr;
      candidate = nullptr;
      return;
    }
    save(modal, name);
    taken = true;
  });
  poll.start();
  open();
  poll.stop();
  if (!taken) {
    std::fprintf(stderr, "velmora-screenshots: %s: no dialog appeared\n", qPrintable(name));
    ++failures_;
  }
}

} // namespace velmora::gui

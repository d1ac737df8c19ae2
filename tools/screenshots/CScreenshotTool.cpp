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

#include "gui/CMainFrame.h"

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

bool CScreenshotTool::save(QWidget* widget, const QString& name) {
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

#pragma once

#include <QDialog>
#include <QFileDialog>
#include <QListWidget>
#include <string>
#include <vector>

#include "base/Host.h"

class QLabel;
class QMimeData;
class QPushButton;

namespace velmora::gui {

// The selection list: files and folders dropped from a file manager are offered as paths.
class CSelectionList : public QListWidget {
  Q_OBJECT
public:
  explicit CSelectionList(QWidget* parent);
  static QStringList localPaths(const QMimeData* data);

signals:
  void pathsDropped(const QStringList& paths);

protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

// The selection list with "Remove Files" and the count label that both
// file-list forms share; "Add Files" is the form's own.
class CFileListDlgBase : public QDialog {
  Q_OBJECT
public:
  // Appends the list to `files` on OK; 1 when at least one file was chosen.
  // The filter in use on OK becomes the remembered one.
  int run(FileListRequest& request, std::vector<std::string>& files);

  QStringList selection() const;
  QString countText() const;

protected:
  CFileListDlgBase(QWidget* parent, const FileListRequest& request);
  // Lays out the form above the list; addButton sits beside the list when given.
  void buildLayout(QWidget* browser, QPushButton* addButton);
  void addPaths(const QStringList& paths);
  virtual int chosenFilterIndex() const = 0;

  QString folder_; // where browsing starts, remembered between dialogs
  FileListRequest request_;

private:
  void removeSelected();
  void refreshCount();
  // A dropped folder adds its files that match the type in use.
  void addDropped(const QStringList& paths);

  CSelectionList* list_ = nullptr;
  QPushButton* remove_ = nullptr;
  QLabel* count_ = nullptr;
};

// The browser of the classic form: a Qt file dialog shown inside ours, whose
// accept adds files instead of closing.
class CFileBrowser : public QFileDialog {
  Q_OBJECT
public:
  explicit CFileBrowser(QWidget* parent);
  void accept() override;
  void done(int result) override;
  // The name filters of one entry, set after Qt's own parse, which cannot split "*.pt; *.pts".
  void applyPatterns(const std::vector<std::string>& patterns);
  void setNameText(const QString& text);
  QString nameText() const;
  // The files (not folders) selected in the browser's view.
  QStringList selectedViewFiles() const;

signals:
  void filesChosen(const QStringList& paths);
  void rejectedByKey();

protected:
  void keyPressEvent(QKeyEvent* event) override;

private:
  // Qt fills the field with the selected names up to its limit, so a full field holds a cut list.
  bool nameFieldFull(const QString& text) const;
};

// "Create a filelist": folder browser, name field, file types, selection list.
class CFileListDlg : public CFileListDlgBase {
  Q_OBJECT
public:
  CFileListDlg(QWidget* parent, const FileListRequest& request);
  CFileBrowser* browser() const { return browser_; }

protected:
  int chosenFilterIndex() const override;

private:
  void useFilter(int index);

  CFileBrowser* browser_ = nullptr;
};

// The explorer form: the platform's own multi-select file dialog feeds the list.
class CExplorerFileListDlg : public CFileListDlgBase {
  Q_OBJECT
public:
  CExplorerFileListDlg(QWidget* parent, const FileListRequest& request);

protected:
  int chosenFilterIndex() const override { return filterIndex_; }

private:
  void browse();

  int filterIndex_ = 0;
};

// The names typed into the classic form's name field: split at blanks, a
// name in double quotes kept whole (as Qt fills the field for several files).
QStringList splitTypedNames(const QString& text);

// Dropped paths as files: a folder gives its files matching `patterns`
// (without regard to case) in name order; other paths that are not files are left out.
QStringList expandDroppedPaths(const QStringList& paths, const QStringList& patterns);

// Each form's last folder, kept by the main window across restarts.
QString rememberedFileListFolder(bool explorer);
void setRememberedFileListFolder(bool explorer, const QString& folder);

// Qt's name filter text of every entry of a kind, descriptions as stored.
QStringList qtNameFilters(FileKind kind);

// The form the request asks for, run modally.
int runFileListDialog(QWidget* parent, FileListRequest& request, std::vector<std::string>& files);

} // namespace velmora::gui

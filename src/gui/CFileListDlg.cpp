#include "gui/CFileListDlg.h"

#include <QAbstractProxyModel>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "base/Format.h"
#include "batch/FileListFilters.h"
#include "gui/GuiText.h"

namespace velmora::gui {

namespace {

// Where each form was browsing last; the main window keeps them across restarts.
QString& lastFolder(bool explorer) {
  static QString folders[2];
  return folders[explorer ? 1 : 0];
}

QString startFolder(bool explorer) {
  const QString& last = lastFolder(explorer);
  return last.isEmpty() || !QDir(last).exists() ? QDir::currentPath() : last;
}

// Wildcards as the type list writes them; "*.*" means every file, dotted or not.
QStringList dropPatterns(const std::vector<std::string>& patterns) {
  QStringList filters;
  for (const std::string& p : patterns)
    filters << (p == "*.*" ? QStringLiteral("*") : fromAnsi(p));
  return filters;
}

// A platform dialog reads the patterns from the parentheses, split at blanks only.
QStringList nativeNameFilters(FileKind kind) {
  QStringList filters;
  for (const FileFilter& filter : fileListFilters(kind)) {
    QString text = fromAnsi(filter.description);
    if (text.contains(QLatin1Char(';'))) {
      QStringList patterns;
      for (const std::string& p : filter.patterns)
        patterns << fromAnsi(p);
      text = text.left(text.indexOf(QLatin1Char('('))) + QLatin1Char('(') + patterns.join(QLatin1Char(' ')) +
             QLatin1Char(')');
    }
    filters << text;
  }
  return filters;
}

} // namespace

QStringList splitTypedNames(const QString& text) {
  QStringList names;
  QString name;
  bool quoted = false;
  for (const QChar c : text) {
    if (c == QLatin1Char('"')) {
      quoted = !quoted;
    } else if (c == QLatin1Char(' ') && !quoted) {
      if (!name.isEmpty()) names << name;
      name.clear();
    } else {
      name += c;
    }
  }
  if (!name.isEmpty()) names << name;
  return names;
}

QString rememberedFileListFolder(bool explorer) { return lastFolder(explorer); }

void setRememberedFileListFolder(bool explorer, const QString& folder) { lastFolder(explorer) = folder; }

QStringList expandDroppedPaths(const QStringList& paths, const QStringList& patterns) {
  QStringList files;
  for (const QString& path : paths) {
    const QFileInfo info(path);
    if (info.isDir()) {
      // Matched without regard to case: scores from older systems have upper-case names.
      QDir folder(info.absoluteFilePath());
      for (const QString& name : folder.entryList(patterns, QDir::Files, QDir::Name))
        files << folder.filePath(name);
    } else if (info.isFile()) {
      files << info.absoluteFilePath();
    }
  }
  return files;
}

CSelectionList::CSelectionList(QWidget* parent) : QListWidget(parent) {
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
}

QStringList CSelectionList::localPaths(const QMimeData* data) {
  QStringList paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  return paths;
}

void CSelectionList::dragEnterEvent(QDragEnterEvent* event) {
  if (localPaths(event->mimeData()).isEmpty()) return event->ignore();
  event->acceptProposedAction();
}

void CSelectionList::dragMoveEvent(QDragMoveEvent* event) {
  if (localPaths(event->mimeData()).isEmpty()) return event->ignore();
  event->acceptProposedAction();
}

void CSelectionList::dropEvent(QDropEvent* event) {
  const QStringList paths = localPaths(event->mimeData());
  if (paths.isEmpty()) return event->ignore();
  event->acceptProposedAction();
  emit pathsDropped(paths);
}

QStringList qtNameFilters(FileKind kind) {
  QStringList filters;
  for (const FileFilter& filter : fileListFilters(kind))
    filters << fromAnsi(filter.description);
  return filters;
}

CFileListDlgBase::CFileListDlgBase(QWidget* parent, const FileListRequest& request)
    : QDialog(parent), folder_(startFolder(request.explorerStyle)), request_(request) {
  setWindowTitle(fromAnsi(request.title));
  list_ = new CSelectionList(this);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setObjectName(QStringLiteral("selectionList"));
  remove_ = new QPushButton(QStringLiteral("Remove Files"), this);
  remove_->setAutoDefault(false);
  count_ = new QLabel(this);
  connect(remove_, &QPushButton::clicked, this, &CFileListDlgBase::removeSelected);
  connect(list_, &CSelectionList::pathsDropped, this, &CFileListDlgBase::addDropped);
  refreshCount();
}

void CFileListDlgBase::addDropped(const QStringList& paths) {
  const auto& filters = fileListFilters(request_.kind);
  const int index = std::clamp(chosenFilterIndex(), 0, static_cast<int>(filters.size()) - 1);
  addPaths(expandDroppedPaths(paths, dropPatterns(filters[static_cast<size_t>(index)].patterns)));
}

void CFileListDlgBase::buildLayout(QWidget* browser, QPushButton* addButton) {
  auto* layout = new QVBoxLayout(this);
  if (browser) layout->addWidget(browser, 3);
  auto* listLabel = new QLabel(QStringLiteral("&Selected files:"), this);
  listLabel->setBuddy(list_);
  layout->addWidget(listLabel);
  auto* row = new QHBoxLayout;
  row->addWidget(list_, 1);
  auto* buttons = new QVBoxLayout;
  if (addButton) buttons->addWidget(addButton);
  buttons->addWidget(remove_);
  buttons->addStretch(1);
  row->addLayout(buttons);
  layout->addLayout(row, 2);
  layout->addWidget(count_);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(box);
}

void CFileListDlgBase::addPaths(const QStringList& paths) {
  for (const QString& path : paths)
    list_->addItem(QDir::cleanPath(path));
  refreshCount();
}

void CFileListDlgBase::removeSelected() {
  for (QListWidgetItem* item : list_->selectedItems())
    delete item;
  list_->clearSelection();
  refreshCount();
}

void CFileListDlgBase::refreshCount() {
  count_->setText(fromAnsi(strprintf("Filelist: %d", list_->count()) + " file selections in list"));
  remove_->setEnabled(list_->count() > 0);
}

QStringList CFileListDlgBase::selection() const {
  QStringList paths;
  for (int i = 0; i < list_->count(); ++i)
    paths << list_->item(i)->text();
  return paths;
}

QString CFileListDlgBase::countText() const { return count_->text(); }

int CFileListDlgBase::run(FileListRequest& request, std::vector<std::string>& files) {
  if (exec() != QDialog::Accepted) return 0;
  request.filterIndex = chosenFilterIndex();
  lastFolder(request_.explorerStyle) = folder_;
  const QStringList paths = selection();
  for (const QString& path : paths)
    files.push_back(toPath(path));
  return paths.isEmpty() ? 0 : 1;
}

CFileBrowser::CFileBrowser(QWidget* parent) : QFileDialog(parent, Qt::Widget) {
  setOption(QFileDialog::DontUseNativeDialog, true);
  setWindowFlags(Qt::Widget);
  setFileMode(QFileDialog::ExistingFiles);
  setSizeGripEnabled(false);
  setLabelText(QFileDialog::LookIn, QStringLiteral("&Folders:"));
  setLabelText(QFileDialog::FileName, QStringLiteral("File &Name:"));
  setLabelText(QFileDialog::FileType, QStringLiteral("List Files of &Type:"));
  setLabelText(QFileDialog::Accept, QStringLiteral("Add Files"));
  setViewMode(QFileDialog::List);
  // Qt's own labels of these two have no buddy, so their mnemonics would show as "&".
  const auto buddy = [this](const char* label, const char* control) {
    auto* l = findChild<QLabel*>(QLatin1String(label));
    auto* c = findChild<QWidget*>(QLatin1String(control));
    if (l && c) l->setBuddy(c);
  };
  buddy("lookInLabel", "lookInCombo");
  buddy("fileTypeLabel", "fileTypeCombo");
  if (layout()) layout()->setContentsMargins(0, 0, 0, 0); // aligned with the rest of our dialog
  // Qt's Open and Cancel would stand beside our own "Add Files", OK and
  // Cancel; Qt shows the buttons again whenever it lays the box out, so the
  // whole box goes.
  if (auto* box = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
    for (QAbstractButton* button : box->buttons())
      if (auto* push = qobject_cast<QPushButton*>(button)) push->setAutoDefault(false), push->setDefault(false);
    box->hide();
  }
}

QStringList CFileBrowser::selectedViewFiles() const {
  QStringList files;
  const auto* view = findChild<QListView*>(QStringLiteral("listView"));
  const auto* model = findChild<QFileSystemModel*>();
  if (!view || !model || !view->selectionModel()) return files;
  auto* proxy = qobject_cast<const QAbstractProxyModel*>(view->model());
  for (const QModelIndex& index : view->selectionModel()->selectedRows()) {
    const QModelIndex source = proxy ? proxy->mapToSource(index) : index;
    if (!model->isDir(source)) files << model->filePath(source);
  }
  return files;
}

void CFileBrowser::keyPressEvent(QKeyEvent* event) {
  // Return in the name field adds what is named, as the button does; in the
  // view Qt has already opened the folder or added the file. Either way it
  // never reaches our dialog's OK.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit && edit->hasFocus()) accept();
    event->accept();
    return;
  }
  QFileDialog::keyPressEvent(event);
}

void CFileBrowser::accept() {
  const QString text = nameText().trimmed();
  // A pattern in the name field selects nothing.
  if (text.startsWith(QLatin1Char('*'))) return;
  const QDir folder = directory();
  // Files picked in the view come from the view itself: the name field holds
  // at most 32767 characters and would cut a long selection short.
  const QStringList picked = selectedViewFiles();
  if (!picked.isEmpty() && (text.isEmpty() || nameFieldFull(nameText()))) {
    emit filesChosen(picked);
    return;
  }
  const QFileInfo whole(folder.filePath(text));
  // Nothing typed, or a folder: Qt takes the view's selection or moves into the folder.
  if (text.isEmpty() || text == QStringLiteral("..") || whole.isDir()) {
    QFileDialog::accept();
    return;
  }
  // A file named as typed (a double-clicked one) is one name, spaces and all.
  if (whole.isFile()) {
    emit filesChosen({whole.filePath()});
    return;
  }
  QStringList paths;
  for (const QString& name : splitTypedNames(text))
    paths << folder.filePath(name);
  if (!paths.isEmpty()) emit filesChosen(paths);
}

bool CFileBrowser::nameFieldFull(const QString& text) const {
  const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  return edit && text.size() >= edit->maxLength();
}

void CFileBrowser::done(int result) {
  // Accepting adds to the list and keeps browsing; only a rejection ends the dialog.
  if (result == QDialog::Accepted) {
    emit filesChosen(selectedFiles());
    return;
  }
  emit rejectedByKey();
}

void CFileBrowser::applyPatterns(const std::vector<std::string>& patterns) {
  auto* model = findChild<QFileSystemModel*>();
  if (!model) return;
  QStringList filters;
  for (const std::string& p : patterns)
    filters << (p == "*.*" ? QStringLiteral("*") : fromAnsi(p));
  model->setNameFilters(filters);
}

void CFileBrowser::setNameText(const QString& text) {
  if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->setText(text);
}

QString CFileBrowser::nameText() const {
  const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  return edit ? edit->text() : QString();
}

CFileListDlg::CFileListDlg(QWidget* parent, const FileListRequest& request) : CFileListDlgBase(parent, request) {
  browser_ = new CFileBrowser(this);
  browser_->setObjectName(QStringLiteral("browser"));
  browser_->setDirectory(folder_);
  browser_->setNameFilters(qtNameFilters(request.kind));
  const int index = validFilterIndex(request.kind, request.filterIndex);
  useFilter(index);
  browser_->setNameText(fromAnsi(initialNamePattern(request.kind, request.filterIndex)));
  connect(browser_, &QFileDialog::filterSelected, this,
          [this](const QString& filter) { useFilter(static_cast<int>(qtNameFilters(request_.kind).indexOf(filter))); });
  connect(browser_, &CFileBrowser::filesChosen, this, [this](const QStringList& paths) {
    addPaths(paths);
    folder_ = browser_->directory().absolutePath();
  });
  connect(browser_, &QFileDialog::directoryEntered, this, [this](const QString& dir) { folder_ = dir; });
  connect(browser_, &CFileBrowser::rejectedByKey, this, &QDialog::reject);
  auto* add = new QPushButton(QStringLiteral("Add Files"), this);
  add->setObjectName(QStringLiteral("addFiles"));
  add->setAutoDefault(false);
  connect(add, &QPushButton::clicked, browser_, &CFileBrowser::accept);
  buildLayout(browser_, add);
  resize(760, 640);
}

void CFileListDlg::useFilter(int index) {
  const auto& filters = fileListFilters(request_.kind);
  if (index < 0 || index >= static_cast<int>(filters.size())) return;
  const QString text = qtNameFilters(request_.kind).at(index);
  if (browser_->selectedNameFilter() != text) browser_->selectNameFilter(text);
  browser_->applyPatterns(filters[static_cast<size_t>(index)].patterns);
}

int CFileListDlg::chosenFilterIndex() const {
  const int index = static_cast<int>(qtNameFilters(request_.kind).indexOf(browser_->selectedNameFilter()));
  return index < 0 ? 0 : index;
}

CExplorerFileListDlg::CExplorerFileListDlg(QWidget* parent, const FileListRequest& request)
    : CFileListDlgBase(parent, request), filterIndex_(validFilterIndex(request.kind, request.filterIndex)) {
  auto* add = new QPushButton(QStringLiteral("Add Files"), this);
  add->setObjectName(QStringLiteral("addFiles"));
  add->setAutoDefault(false);
  connect(add, &QPushButton::clicked, this, &CExplorerFileListDlg::browse);
  buildLayout(nullptr, add);
  resize(620, 380);
}

void CExplorerFileListDlg::browse() {
  QFileDialog dialog(this, windowTitle(), folder_);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  const QStringList filters = nativeNameFilters(request_.kind);
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.at(filterIndex_));
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Add Files"));
  if (dialog.exec() != QDialog::Accepted) return;
  addPaths(dialog.selectedFiles());
  const int index = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
  if (index >= 0) filterIndex_ = index;
  folder_ = dialog.directory().absolutePath();
}

int runFileListDialog(QWidget* parent, FileListRequest& request, std::vector<std::string>& files) {
  if (request.explorerStyle) {
    CExplorerFileListDlg dialog(parent, request);
    return dialog.run(request, files);
  }
  CFileListDlg dialog(parent, request);
  return dialog.run(request, files);
}

} // namespace velmora::gui

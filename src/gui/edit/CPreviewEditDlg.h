#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "model/RunRecord.h"

class QTreeWidget;
class QTableWidget;

namespace velmora::gui {

// Fills a five-column table (item, stave, code, before, after) with changed items.
void fillChangeTable(QTableWidget* table, const std::vector<ItemChange>& changes);
// A table ready for fillChangeTable.
QTableWidget* newChangeTable(QWidget* parent);

// The Preview window: what a macro would do to each file, per step, and the
// changed items of the file selected.
class CPreviewEditDlg : public QDialog {
  Q_OBJECT
public:
  // Lists a file's changed items, before and after.
  using ItemLister = std::function<std::vector<ItemChange>(const std::string& path)>;

  CPreviewEditDlg(const std::string& macro, const std::vector<FileChanges>& files, ItemLister lister,
                  QWidget* parent = nullptr);

  // "Run Edit" closes the window with this result.
  static constexpr int kRunEdit = 2;
  static constexpr size_t kItemLimit = 200;

  QTreeWidget* fileTree() const { return files_; }
  QTableWidget* itemTable() const { return items_; }
  void showItems(const std::string& path);

private:
  ItemLister lister_;
  QTreeWidget* files_;
  QTableWidget* items_;
};

} // namespace velmora::gui

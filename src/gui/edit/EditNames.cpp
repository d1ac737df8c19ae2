#include "gui/edit/EditNames.h"

#include "edit/Messages.h"
#include "gui/edit/CNewMacroDlg.h"
#include "gui/edit/COverwriteDlg.h"

namespace velmora::gui {

std::string askNewName(QWidget* parent, const CEditFiles& files, EditFileKind kind, const QString& caption,
                       bool limitNameLength) {
  CNewMacroDlg dialog(parent, caption, limitNameLength);
  std::string accepted;
  dialog.setCheck([&](const std::string& typed) {
    const NameCheck check = files.checkName(kind, typed);
    if (check.state == NameCheck::State::Empty) return false;
    if (check.state == NameCheck::State::Exists && !COverwriteDlg(check.question, &dialog).ask()) return false;
    accepted = check.name;
    return true;
  });
  std::string typed;
  if (!dialog.askName(typed)) return {};
  return accepted;
}

std::string askRename(QWidget* parent, const CEditFiles& files, EditFileKind kind, const std::string& from,
                      bool limitNameLength, const std::function<bool(const std::string& to)>& rename) {
  const char* caption = kind == EditFileKind::Macro ? edit_msg::kRenameMacroCaption : edit_msg::kRenameStepCaption;
  CNewMacroDlg dialog(parent, QString::fromLatin1(caption), limitNameLength);
  std::string renamed;
  dialog.setCheck([&](const std::string& typed) {
    const NameCheck check = files.checkName(kind, typed);
    if (check.state == NameCheck::State::Empty || !rename(check.name)) return false;
    renamed = check.name;
    return true;
  });
  std::string typed = from;
  if (!dialog.askName(typed)) return {};
  return renamed;
}

} // namespace velmora::gui

#pragma once

#include <QString>
#include <functional>
#include <string>

#include "edit/MacroFiles.h"

class QWidget;

namespace velmora::gui {

// Asks for the name of a new or duplicated macro or step. An empty name keeps
// the dialog open; an existing file needs "Yes" in "Overwrite", and "No" goes
// back to the name. Empty when cancelled.
std::string askNewName(QWidget* parent, const CEditFiles& files, EditFileKind kind, const QString& caption,
                       bool limitNameLength);

// Asks for a new name for `from` and hands it to `rename`, which reports its
// own failure; the dialog stays open until a rename succeeds or the user
// cancels. A rename never replaces a file, so there is no overwrite question.
// The new name, or empty when cancelled.
std::string askRename(QWidget* parent, const CEditFiles& files, EditFileKind kind, const std::string& from,
                      bool limitNameLength, const std::function<bool(const std::string& to)>& rename);

} // namespace velmora::gui

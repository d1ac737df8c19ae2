#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace velmora::gui {

// Picks the file for "Load..." (save false) or "Save As..." (save true);
// an empty string when the user cancelled. Tests put their own in.
using EpsFileChooser = std::function<QString(bool save)>;

// A chooser over the platform's file dialogs with a filter in the
// "Label (*.ext) | *.ext|...||" form, a default extension, the name the
// dialog starts with ("*.CRP") and a start folder.
EpsFileChooser platformFileChooser(QWidget* parent, const char* filter, const char* defaultExtension,
                                   const char* initialName, const QString& folder);

// Strings in files are bytes in the ANSI code page, shown as Latin-1.
QString qFromAnsi(const std::string& text);
std::string ansiFromQ(const QString& text);

} // namespace velmora::gui

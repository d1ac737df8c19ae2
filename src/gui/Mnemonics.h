#pragma once

#include <QString>

class QWidget;

namespace velmora::gui {

// Gives every button and every label with a buddy below `dialog` an Alt key
// of its own where it has none: the first letter of a word that is still
// free, else any free letter or digit, else (no letter free) its first
// letter shared with another. Marks already there are kept.
void assignMnemonics(QWidget* dialog);

// `text` with "&" before the letter chosen from `used` (which gets it), or as
// it was when it has a mark already or no free letter.
QString withMnemonic(const QString& text, QString& used);

} // namespace velmora::gui

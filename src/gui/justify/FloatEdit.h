#pragma once

class QLineEdit;
class QWidget;

namespace velmora::gui {

// A line edit for one float setting, shown in its shortest exact form.
QLineEdit* newFloatEdit(QWidget* parent);
void setFloatText(QLineEdit* edit, float value);
// False when the text is no number.
bool readFloatText(const QLineEdit* edit, float& value);

inline constexpr const char* kEnterNumber = "Please enter a number.";

} // namespace velmora::gui

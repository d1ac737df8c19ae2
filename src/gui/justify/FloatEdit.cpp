#include "gui/justify/FloatEdit.h"

#include <QDoubleValidator>
#include <QLineEdit>
#include <cmath>

namespace velmora::gui {

QLineEdit* newFloatEdit(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  auto* validator = new QDoubleValidator(edit);
  validator->setLocale(QLocale::c());
  validator->setNotation(QDoubleValidator::StandardNotation);
  edit->setValidator(validator);
  return edit;
}

void setFloatText(QLineEdit* edit, float value) {
  // The fewest digits that read back as the same float, so OK changes nothing.
  QString text;
  for (int precision = 1; precision <= 9; ++precision) {
    text = QString::number(static_cast<double>(value), 'f', precision);
    if (text.toFloat() == value) break;
  }
  if (!std::isfinite(value)) text = QString::number(static_cast<double>(value));
  while (text.contains('.') && (text.endsWith('0') || text.endsWith('.'))) {
    const bool dot = text.endsWith('.');
    text.chop(1);
    if (dot) break;
  }
  edit->setText(text);
}

bool readFloatText(const QLineEdit* edit, float& value) {
  bool ok = false;
  const float parsed = QLocale::c().toFloat(edit->text().trimmed(), &ok);
  if (!ok) return false;
  value = parsed;
  return true;
}

} // namespace velmora::gui

#include "gui/FixedFont.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace velmora::gui {

namespace {

bool resolvesFixed(const QFont& font) { return QFontInfo(font).fixedPitch(); }

QFont family(const QString& name) {
  QFont font(name);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

} // namespace

QFont fixedPitchFont(const QStringList& preferred) {
  for (const QString& name : preferred)
    if (const QFont font = family(name); resolvesFixed(font)) return font;
  if (const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont); resolvesFixed(system)) return system;
  // Faces most desktops have, then whatever fixed family is installed.
  QStringList candidates{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Mono"),
                         QStringLiteral("Liberation Mono"), QStringLiteral("Nimbus Mono PS")};
  for (const QString& name : QFontDatabase::families())
    if (QFontDatabase::isFixedPitch(name) && !candidates.contains(name)) candidates << name;
  for (const QString& name : candidates)
    if (const QFont font = family(name); resolvesFixed(font)) return font;
  return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

} // namespace velmora::gui

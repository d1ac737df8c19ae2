#pragma once

#include <QString>
#include <string>

namespace velmora::gui {

// Strings in files and messages are bytes in the ANSI code page, shown as Latin-1.
inline QString fromAnsi(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toAnsi(const QString& text) { return text.toLatin1().toStdString(); }

// Multi-line texts are stored with CR LF; the edit widgets want LF.
inline QString fromAnsiLines(const std::string& text) {
  return fromAnsi(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

inline std::string toAnsiLines(QString text) {
  return toAnsi(
      text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

} // namespace velmora::gui

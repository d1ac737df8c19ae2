#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <string>

namespace velmora::gui {

// Strings in files and messages are bytes in the ANSI code page, shown as Latin-1.
inline QString fromAnsi(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toAnsi(const QString& text) { return text.toLatin1().toStdString(); }

// Paths are the file system's own bytes, whatever Qt shows them as.
inline QString fromPath(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

inline std::string toPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Texts the program makes (log rows, messages) mostly hold paths: UTF-8 when
// they are valid UTF-8, else the ANSI bytes of a file's text.
inline QString fromProgramText(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  return utf8.hasError() ? fromAnsi(text) : decoded;
}

// Multi-line texts are stored with CR LF; the edit widgets want LF.
inline QString fromAnsiLines(const std::string& text) {
  return fromAnsi(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

inline std::string toAnsiLines(QString text) {
  return toAnsi(
      text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

} // namespace velmora::gui

#include "gui/Mnemonics.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
#include <QWidget>
#include <algorithm>

namespace velmora::gui {

namespace {

// The letter after a single "&" ("&&" is a literal ampersand), or a null QChar.
QChar markedLetter(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) continue;
    if (text[i + 1] == QLatin1Char('&')) {
      ++i;
      continue;
    }
    return text[i + 1].toLower();
  }
  return {};
}

bool usable(QChar c, const QString& used) { return c.isLetterOrNumber() && !used.contains(c.toLower()); }

} // namespace

QString withMnemonic(const QString& text, QString& used) {
  if (!markedLetter(text).isNull() || text.contains(QLatin1Char('&'))) return text;
  qsizetype at = -1;
  for (qsizetype i = 0; i < text.size() && at < 0; ++i)
    if ((i == 0 || text[i - 1] == QLatin1Char(' ')) && usable(text[i], used)) at = i;
  for (qsizetype i = 0; i < text.size() && at < 0; ++i)
    if (usable(text[i], used)) at = i;
  // Nothing free ("x", "y" beside "x1", "y1"): a shared key, which Qt cycles through.
  for (qsizetype i = 0; i < text.size() && at < 0; ++i)
    if (text[i].isLetterOrNumber()) at = i;
  if (at < 0) return text;
  used += text[at].toLower();
  QString marked = text;
  marked.insert(at, QLatin1Char('&'));
  return marked;
}

void assignMnemonics(QWidget* dialog) {
  QList<QAbstractButton*> buttons;
  QList<QLabel*> labels;
  QString used;
  const auto take = [&used](const QString& text) {
    if (const QChar c = markedLetter(text); !c.isNull()) used += c;
  };
  for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
    take(button->text());
    // OK and Cancel keep the platform's texts: Return and Escape are their keys.
    const auto* box = qobject_cast<QDialogButtonBox*>(button->parentWidget());
    const bool standard = box && box->standardButton(button) != QDialogButtonBox::NoButton;
    if (!button->text().isEmpty() && !standard) buttons << button;
  }
  for (QLabel* label : dialog->findChildren<QLabel*>()) {
    take(label->text());
    if (label->buddy() && !label->text().isEmpty()) labels << label;
  }
  // Short texts first: they have the fewest letters to choose from.
  std::stable_sort(labels.begin(), labels.end(),
                   [](const QLabel* a, const QLabel* b) { return a->text().size() < b->text().size(); });
  for (QLabel* label : labels)
    label->setText(withMnemonic(label->text(), used));
  for (QAbstractButton* button : buttons)
    button->setText(withMnemonic(button->text(), used));
}

} // namespace velmora::gui

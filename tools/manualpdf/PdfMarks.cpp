#include "tools/manualpdf/PdfMarks.h"

#include <QDateTime>
#include <QMap>
#include <algorithm>
#include <cctype>
#include <QRegularExpression>

namespace velmora::manualpdf {

namespace {

// The parts of the writer's file the update needs: where each object starts,
// the trailer's references, the pages in order.
class PdfFile {
public:
  explicit PdfFile(const QByteArray& pdf) : pdf_(pdf) {}

  bool read(QString& error) {
    const qsizetype start = pdf_.lastIndexOf("startxref");
    if (start < 0) return fail(error, QStringLiteral("no startxref"));
    qsizetype after = start + 9;
    xref_ = number(after);
    if (xref_ < 0 || xref_ >= pdf_.size() || !pdf_.mid(xref_).startsWith("xref"))
      return fail(error, QStringLiteral("startxref points at no xref table"));
    qsizetype at = xref_ + 4;
    // Subsections of "first count" and then count entries of 20 bytes each.
    for (;;) {
      skipSpace(at);
      if (pdf_.mid(at, 7) == "trailer") break;
      const long long first = number(at), count = number(at);
      if (first < 0 || count < 0 || count > 10'000'000 || at + count * 20 > pdf_.size())
        return fail(error, QStringLiteral("damaged xref table at byte %1").arg(at));
      skipSpace(at);
      for (long long i = 0; i < count; ++i, at += 20) {
        if (pdf_.at(at + 17) == 'n') offsets_[static_cast<int>(first + i)] = pdf_.mid(at, 10).toLongLong();
      }
    }
    const qsizetype end = pdf_.indexOf("startxref", at);
    const QByteArray trailer = pdf_.mid(at, end - at);
    size_ = static_cast<int>(value(trailer, "/Size"));
    root_ = ref(trailer, "/Root");
    info_ = ref(trailer, "/Info");
    if (size_ <= 0 || root_ <= 0) return fail(error, QStringLiteral("trailer without /Size or /Root"));
    const int pages = ref(object(root_), "/Pages");
    static const QRegularExpression kids(QStringLiteral("/Kids\\s*\\[([^\\]]*)\\]"));
    const auto match = kids.match(QString::fromLatin1(object(pages)));
    if (!match.hasMatch()) return fail(error, QStringLiteral("no page list"));
    pages_ = refs(match.captured(1).toLatin1());
    if (pages_.isEmpty()) return fail(error, QStringLiteral("no pages"));
    return true;
  }

  // The text between "N 0 obj" and "endobj", or nothing when N is not there.
  QByteArray object(int number) const {
    const auto it = offsets_.find(number);
    if (it == offsets_.end() || it.value() < 0 || it.value() >= pdf_.size()) return {};
    const QByteArray head = QByteArray::number(number) + " 0 obj";
    if (!pdf_.mid(it.value(), head.size()).startsWith(head)) return {};
    const qsizetype from = it.value() + head.size();
    const qsizetype to = pdf_.indexOf("endobj", from);
    return to < 0 ? QByteArray() : pdf_.mid(from, to - from).trimmed();
  }

  static int ref(const QByteArray& dictionary, const char* key) {
    const QRegularExpression pattern(QRegularExpression::escape(QString::fromLatin1(key)) +
                                     QStringLiteral("\\s+(\\d+)\\s+0\\s+R"));
    const auto match = pattern.match(QString::fromLatin1(dictionary));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
  }

  static QList<int> refs(const QByteArray& array) {
    static const QRegularExpression pattern(QStringLiteral("(\\d+)\\s+0\\s+R"));
    QList<int> found;
    for (auto it = pattern.globalMatch(QString::fromLatin1(array)); it.hasNext();) found << it.next().captured(1).toInt();
    return found;
  }

  long long xref() const { return xref_; }
  int size() const { return size_; }
  int root() const { return root_; }
  int info() const { return info_; }
  const QList<int>& pages() const { return pages_; }

private:
  static bool fail(QString& error, const QString& text) {
    error = text;
    return false;
  }
  void skipSpace(qsizetype& at) const {
    while (at < pdf_.size() && std::isspace(static_cast<unsigned char>(pdf_.at(at)))) ++at;
  }
  long long number(qsizetype& at) const {
    skipSpace(at);
    const qsizetype from = at;
    while (at < pdf_.size() && at - from < 12 && std::isdigit(static_cast<unsigned char>(pdf_.at(at)))) ++at;
    return at == from ? -1 : pdf_.mid(from, at - from).toLongLong();
  }
  static long long value(const QByteArray& dictionary, const char* key) {
    const QRegularExpression pattern(QRegularExpression::escape(QString::fromLatin1(key)) + QStringLiteral("\\s+(\\d+)"));
    const auto match = pattern.match(QString::fromLatin1(dictionary));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
  }

  const QByteArray& pdf_;
  QMap<int, qsizetype> offsets_;
  long long xref_ = -1;
  int size_ = 0, root_ = 0, info_ = 0;
  QList<int> pages_;
};

QByteArray real(double v) { return QByteArray::number(v, 'f', 2); }

// Objects appended after the writer's, with the table that finds them.
class Update {
public:
  Update(QByteArray& pdf, int next) : pdf_(pdf), next_(next) {}
  int reserve() { return next_++; }
  void write(int number, const QByteArray& body) {
    if (!pdf_.endsWith('\n')) pdf_ += '\n';
    offsets_[number] = pdf_.size();
    pdf_ += QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
  }
  void finish(const PdfFile& file) {
    const qsizetype xref = pdf_.size();
    pdf_ += "xref\n";
    for (auto it = offsets_.cbegin(); it != offsets_.cend(); ++it)
      pdf_ += QByteArray::number(it.key()) + " 1\n" + QByteArray::number(it.value()).rightJustified(10, '0') +
              " 00000 n \n";
    pdf_ += "trailer\n<<\n/Size " + QByteArray::number(next_) + "\n/Root " + QByteArray::number(file.root()) + " 0 R\n";
    if (file.info() > 0) pdf_ += "/Info " + QByteArray::number(file.info()) + " 0 R\n";
    pdf_ += "/Prev " + QByteArray::number(file.xref()) + "\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
  }

private:
  QByteArray& pdf_;
  int next_;
  QMap<int, qsizetype> offsets_;
};

QByteArray destination(const PdfFile& file, const PdfTarget& target) {
  const int page = file.pages().at(std::clamp(target.page, 0, static_cast<int>(file.pages().size()) - 1));
  return "[" + QByteArray::number(page) + " 0 R /XYZ " + real(target.x) + " " + real(target.y) + " null]";
}

QByteArray linkAnnotation(const QByteArray& rect, const QByteArray& dest) {
  return "<<\n/Type /Annot\n/Subtype /Link\n/Rect [" + rect + "]\n/Border [0 0 0]\n/Dest " + dest + "\n>>";
}

// One level of the outline; returns the first and last item's numbers.
std::pair<int, int> writeOutline(const QList<PdfOutlineItem>& items, int parent, const PdfFile& file, Update& update) {
  QList<int> numbers;
  for (qsizetype i = 0; i < items.size(); ++i) numbers << update.reserve();
  for (qsizetype i = 0; i < items.size(); ++i) {
    const PdfOutlineItem& item = items[i];
    QByteArray body = "<<\n/Title " + pdfText(item.title) + "\n/Parent " + QByteArray::number(parent) + " 0 R\n";
    if (i > 0) body += "/Prev " + QByteArray::number(numbers[i - 1]) + " 0 R\n";
    if (i + 1 < items.size()) body += "/Next " + QByteArray::number(numbers[i + 1]) + " 0 R\n";
    if (!item.children.isEmpty()) {
      const auto [first, last] = writeOutline(item.children, numbers[i], file, update);
      // Negative: a chapter's sections start folded away.
      body += "/First " + QByteArray::number(first) + " 0 R\n/Last " + QByteArray::number(last) + " 0 R\n/Count -" +
              QByteArray::number(item.children.size()) + "\n";
    }
    body += "/Dest " + destination(file, item.target) + "\n>>";
    update.write(numbers[i], body);
  }
  return {numbers.front(), numbers.back()};
}

} // namespace

QByteArray pdfText(const QString& text) {
  QByteArray hex = "<FEFF";
  for (const QChar c : text) hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
  return hex + ">";
}

QByteArray addMarks(const QByteArray& pdf, const PdfMarks& marks, qint64 date, QString& error) {
  PdfFile file(pdf);
  if (!file.read(error)) return {};
  QByteArray out = pdf;

  // The date in place, at the same length, so that no offset moves.
  if (file.info() > 0) {
    const qsizetype infoAt = out.indexOf(QByteArray::number(file.info()) + " 0 obj");
    const qsizetype at = infoAt < 0 ? -1 : out.indexOf("/CreationDate (", infoAt);
    const qsizetype end = at < 0 ? -1 : out.indexOf(')', at);
    const qsizetype from = at + 15;
    const QDateTime when = QDateTime::fromSecsSinceEpoch(date, Qt::UTC);
    QByteArray text = "D:" + when.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    text += end - from == text.size() + 1 ? QByteArray("Z") : QByteArray("+00'00'");
    if (at < 0 || end < 0 || end - from != text.size()) {
      error = QStringLiteral("no creation date of the expected form");
      return {};
    }
    out.replace(from, text.size(), text);
  }

  Update update(out, file.size());
  // The writer's "#name" links become jumps inside the file.
  static const QRegularExpression uri(QStringLiteral("/URI\\s*\\(#([^)\\\\]*)\\)"));
  static const QRegularExpression rect(QStringLiteral("/Rect\\s*\\[([^\\]]*)\\]"));
  for (qsizetype p = 0; p < file.pages().size(); ++p) {
    const QByteArray page = file.object(file.pages()[p]);
    const int annotsNumber = PdfFile::ref(page, "/Annots");
    if (annotsNumber <= 0) continue;
    QList<int> annots = PdfFile::refs(file.object(annotsNumber));
    for (const int number : annots) {
      const QString body = QString::fromLatin1(file.object(number));
      const auto match = uri.match(body);
      if (!match.hasMatch()) continue;
      const auto target = marks.anchors.find(match.captured(1));
      if (target == marks.anchors.end()) {
        error = QStringLiteral("page %1: a link to #%2, which no heading has").arg(p + 1).arg(match.captured(1));
        return {};
      }
      update.write(number, linkAnnotation(rect.match(body).captured(1).toLatin1(), destination(file, *target)));
    }
    bool added = false;
    for (const PdfLink& link : marks.links) {
      if (link.page != p) continue;
      const int number = update.reserve();
      const QRectF& r = link.rect;
      update.write(number, linkAnnotation(real(r.left()) + " " + real(r.top()) + " " + real(r.right()) + " " +
                                              real(r.bottom()),
                                          destination(file, link.target)));
      annots << number;
      added = true;
    }
    if (added) {
      QByteArray array = "[";
      for (const int number : annots) array += " " + QByteArray::number(number) + " 0 R";
      update.write(annotsNumber, array + " ]");
    }
  }

  QByteArray catalog = file.object(file.root());
  if (!catalog.endsWith(">>")) {
    error = QStringLiteral("no catalog");
    return {};
  }
  if (!marks.outline.isEmpty()) {
    const int outlines = update.reserve();
    const auto [first, last] = writeOutline(marks.outline, outlines, file, update);
    update.write(outlines, "<<\n/Type /Outlines\n/First " + QByteArray::number(first) + " 0 R\n/Last " +
                               QByteArray::number(last) + " 0 R\n/Count " +
                               QByteArray::number(marks.outline.size()) + "\n>>");
    catalog.chop(2);
    catalog += "/Outlines " + QByteArray::number(outlines) + " 0 R\n/PageMode /UseOutlines\n>>";
  }
  update.write(file.root(), catalog);
  update.finish(file);
  return out;
}

} // namespace velmora::manualpdf

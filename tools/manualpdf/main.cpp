// velmora-manualpdf IN.md OUT.pdf [--subtitle TEXT] [--png DIR]: renders the
// manual into an A4 PDF with a title page, contents, running footers, page
// numbers, an outline of the chapters and sections, and links that jump inside
// the file. SOURCE_DATE_EPOCH sets its date. --png also writes every page as a
// picture, for checking the layout.
#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHashFunctions>
#include <QImage>
#include <QPainter>
#include <QBuffer>
#include <QDateTime>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <cstdio>

#include "tools/manualpdf/PdfMarks.h"

namespace {

const QString kBodyFont = QStringLiteral("DejaVu Serif");
const QString kHeadingFont = QStringLiteral("DejaVu Sans");
const QString kCodeFont = QStringLiteral("DejaVu Sans Mono");
const QColor kHeadingColour(0x1d, 0x3b, 0x5a);
const QColor kRuleColour(0xb0, 0xb8, 0xc0);
const QColor kCodeBackground(0xf3, 0xf4, 0xf6);
const QColor kTableHeader(0xe6, 0xea, 0xef);

// Page geometry in points; everything is laid out at the writer's resolution.
constexpr double kMarginLeft = 62, kMarginRight = 56, kMarginTop = 58, kMarginBottom = 64;
constexpr double kPageWidth = 595, kPageHeight = 842; // A4 as the writer rounds it
constexpr double kFooterGap = 22; // below the text, inside the bottom margin's line
constexpr int kResolution = 300;

double px(double points) { return points * kResolution / 72.0; }

using namespace velmora::manualpdf;

struct Chapter {
  QString title;
  int page = 0; // printed page number
};

// A heading's name as a "#name" link writes it: lower case, spaces as hyphens,
// other punctuation dropped.
QString anchorOf(const QString& heading) {
  QString name;
  for (const QChar c : heading.toLower()) {
    if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
      name += c;
    else if (c == QLatin1Char(' '))
      name += QLatin1Char('-');
  }
  return name;
}

// A point of the laid-out document (writer pixels) as a page and PDF point.
PdfTarget targetOf(double x, double y, double pageHeight) {
  const int page = static_cast<int>(y / pageHeight);
  const double within = y - page * pageHeight;
  return {page + 1, (px(kMarginLeft) + x) * 72.0 / kResolution,
          kPageHeight - (px(kMarginTop) + within) * 72.0 / kResolution};
}

// Outline entries for the chapters and their sections, and an anchor for every heading.
void collectMarks(QTextDocument& doc, PdfMarks& marks) {
  const double pageHeight = doc.pageSize().height();
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    if (level < 2) continue;
    const QRectF rect = doc.documentLayout()->blockBoundingRect(block);
    // A little above the heading, so that a viewer shows it whole.
    const PdfTarget target = targetOf(0, std::max(0.0, rect.top() - px(6)), pageHeight);
    QString name = anchorOf(block.text());
    for (int n = 1; marks.anchors.contains(name); ++n) name = anchorOf(block.text()) + QStringLiteral("-%1").arg(n);
    marks.anchors.insert(name, target);
    if (level == 2)
      marks.outline.push_back({block.text(), target, {}});
    else if (level == 3 && !marks.outline.isEmpty())
      marks.outline.back().children.push_back({block.text(), target, {}});
  }
}

void mergeBlock(QTextCursor cursor, const QTextBlock& block, const QTextCharFormat& format) {
  cursor.setPosition(block.position());
  cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
  cursor.mergeCharFormat(format);
}

bool isCode(const QTextBlock& block) {
  return block.isValid() &&
         (block.blockFormat().hasProperty(QTextFormat::BlockCodeFence) || block.blockFormat().nonBreakableLines());
}

// Fonts, spacing and page breaks for what the markdown importer made.
// Returns the pictures it could not read.
QStringList styleDocument(QTextDocument& doc, const QString& folder, double textWidth) {
  QStringList missing;
  QTextCursor cursor(&doc);
  bool firstChapter = true;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    QTextBlockFormat bf = block.blockFormat();
    const int level = bf.headingLevel();
    if (level > 0) {
      static const double sizes[] = {24, 24, 17, 12.5, 11, 10, 10};
      // The importer's relative heading size would win over a point size; the format is replaced.
      QTextCharFormat cf = block.begin().atEnd() ? block.charFormat() : block.begin().fragment().charFormat();
      cf.clearProperty(QTextFormat::FontSizeAdjustment);
      cf.setFontFamilies({kHeadingFont});
      cf.setFontPointSize(sizes[std::min(level, 6)]);
      cf.setFontWeight(QFont::Bold);
      cf.setForeground(kHeadingColour);
      cursor.setPosition(block.position());
      cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
      cursor.setCharFormat(cf);
      bf.setTopMargin(px(level == 2 ? 0 : 9));
      bf.setBottomMargin(px(level == 2 ? 6 : 3));
      if (level == 2 && !firstChapter) bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      if (level == 2) firstChapter = false;
    } else if (isCode(block)) {
      QTextCharFormat cf;
      cf.setFontFamilies({kCodeFont});
      cf.setFontPointSize(8.3);
      mergeBlock(cursor, block, cf);
      bf.setBackground(kCodeBackground);
      bf.setLeftMargin(bf.leftMargin() + px(8));
      // One block per line: padding only above the first line and below the last.
      bf.setTopMargin(isCode(block.previous()) ? 0 : px(3));
      bf.setBottomMargin(isCode(block.next()) ? 0 : px(8));
    } else if (QTextCursor(block).currentTable()) {
      bf.setTopMargin(0);
      bf.setBottomMargin(0);
    } else {
      bf.setBottomMargin(px(5));
      bf.setLineHeight(112, QTextBlockFormat::ProportionalHeight);
    }
    cursor.setPosition(block.position());
    cursor.setBlockFormat(bf);
  }
  // Inline code in the code font; pictures as wide as the text at most.
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      QTextCharFormat cf = fragment.charFormat();
      if (cf.isImageFormat()) {
        QTextImageFormat image = cf.toImageFormat();
        const QString path = QDir(folder).filePath(image.name());
        QImage picture(path);
        if (picture.isNull()) {
          missing << path;
          continue;
        }
        // A thin frame keeps a light dialog apart from the white page.
        picture = picture.convertToFormat(QImage::Format_RGB32);
        QPainter frame(&picture);
        frame.setPen(kRuleColour);
        frame.drawRect(picture.rect().adjusted(0, 0, -1, -1));
        frame.end();
        doc.addResource(QTextDocument::ImageResource, QUrl(image.name()), picture);
        // Image sizes are in screen pixels, which the layout scales up to the writer's resolution.
        const double toScreen = 96.0 / kResolution;
        // Screen pixels at 0.62 points each: dialogs at about their size on a screen.
        const double width = std::min(textWidth, px(picture.width() * 0.62)) * toScreen;
        image.setWidth(width);
        image.setHeight(width * picture.height() / picture.width());
        cursor.setPosition(fragment.position());
        cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
        cursor.setCharFormat(image);
      } else if (cf.fontFixedPitch() || cf.fontFamilies().toStringList().contains(QStringLiteral("monospace"))) {
        QTextCharFormat code;
        code.setFontFamilies({kCodeFont});
        code.setFontPointSize(8.6);
        cursor.setPosition(fragment.position());
        cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(code);
      }
    }
  }
  // Tables: thin collapsed borders, padded cells, a shaded header row.
  for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (!table) continue;
    QTextTableFormat tf = table->format();
    tf.setBorder(px(0.4));
    tf.setBorderBrush(kRuleColour);
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setBorderCollapse(true);
    tf.setCellSpacing(0);
    tf.setCellPadding(px(2));
    tf.setBottomMargin(px(4));
    tf.setHeaderRowCount(1);
    table->setFormat(tf);
    for (int r = 0; r < table->rows(); ++r) {
      for (int c = 0; c < table->columns(); ++c) {
        QTextTableCell cell = table->cellAt(r, c);
        QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
        cellFormat.setTopPadding(px(1.5));
        cellFormat.setBottomPadding(px(1.5));
        cellFormat.setLeftPadding(px(3));
        cellFormat.setRightPadding(px(3));
        if (r == 0) cellFormat.setBackground(kTableHeader);
        cell.setFormat(cellFormat);
        QTextCharFormat small;
        small.setFontPointSize(8.8);
        QTextCursor cellCursor = cell.firstCursorPosition();
        cellCursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        cellCursor.mergeCharFormat(small);
      }
    }
  }
  return missing;
}

// A heading left alone at the foot of a page starts the next page instead.
// Returns whether it moved one.
bool keepHeadingsWithText(QTextDocument& doc) {
  const double pageHeight = doc.pageSize().height();
  // The page of a block's first line: a block's top stays behind when its lines move on.
  const auto pageOf = [&](const QTextBlock& b) {
    const double top = doc.documentLayout()->blockBoundingRect(b).top();
    return static_cast<int>((top + (b.layout()->lineCount() > 0 ? b.layout()->lineAt(0).y() : 0)) / pageHeight);
  };
  bool moved = false;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    const QTextBlock next = block.next();
    if (block.blockFormat().headingLevel() < 2 || !next.isValid() || pageOf(block) == pageOf(next)) continue;
    QTextBlockFormat bf = block.blockFormat();
    if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
    bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(block).setBlockFormat(bf);
    moved = true;
  }
  return moved;
}

// The layout draws a block whole on every page it reaches and leaves the rest to
// the clip, which a PDF keeps as hidden text: a paragraph that runs on to the
// next page is split there into two blocks, the second without the list bullet.
// Returns whether it split one.
bool splitBlocksAtPageFeet(QTextDocument& doc) {
  bool split = false;
  const double pageHeight = doc.pageSize().height();
  const auto pageOf = [&](double y) { return static_cast<int>(y / pageHeight); };
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    if (layout->lineCount() < 2) continue;
    const double top = doc.documentLayout()->blockBoundingRect(block).top();
    const int firstPage = pageOf(top + layout->lineAt(0).y());
    for (int i = 1; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      if (pageOf(top + line.y()) == firstPage) continue;
      const double left = line.x();
      QTextBlockFormat first = block.blockFormat(), rest = first;
      first.setBottomMargin(0);
      rest.setTopMargin(0);
      rest.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
      QTextCursor cursor(&doc);
      cursor.setPosition(block.position() + line.textStart());
      cursor.insertBlock(rest, cursor.charFormat());
      if (QTextList* list = cursor.block().textList()) {
        list->remove(cursor.block());
        QTextBlockFormat unlisted = cursor.block().blockFormat();
        unlisted.setIndent(0);
        unlisted.setLeftMargin(left);
        cursor.setBlockFormat(unlisted);
      }
      QTextCursor(block).setBlockFormat(first);
      split = true;
      break;
    }
  }
  return split;
}

// The first level-1 heading is the title; it goes to the title page.
QString takeTitle(QTextDocument& doc) {
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() != 1) continue;
    const QString title = block.text();
    QTextCursor cursor(block);
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.removeSelectedText();
    if (block.position() == 0) cursor.deleteChar();
    return title;
  }
  return QStringLiteral("Manual");
}

// Level-2 headings and the printed page each starts on (the title page is page 1).
QList<Chapter> chaptersOf(QTextDocument& doc) {
  QList<Chapter> chapters;
  const double pageHeight = doc.pageSize().height();
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() != 2) continue;
    const double top = doc.documentLayout()->blockBoundingRect(block).top();
    chapters.push_back({block.text(), 2 + static_cast<int>(top / pageHeight)});
  }
  return chapters;
}

// `rows` receives each contents line's place, for its link.
void drawTitlePage(QPainter& p, const QRectF& area, const QString& title, const QString& subtitle,
                   const QList<Chapter>& chapters, QList<QRectF>& rows) {
  QFont big(kHeadingFont);
  big.setPointSizeF(30);
  big.setBold(true);
  p.setFont(big);
  p.setPen(kHeadingColour);
  QRectF line(area.left(), area.top() + px(90), area.width(), px(44));
  p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, title);
  QFont sub(kHeadingFont);
  sub.setPointSizeF(13);
  p.setFont(sub);
  p.setPen(Qt::black);
  line.translate(0, px(46));
  p.drawText(line, Qt::AlignLeft | Qt::AlignTop, subtitle);
  p.setPen(QPen(kRuleColour, px(1)));
  const double ruleY = line.top() + px(34);
  p.drawLine(QPointF(area.left(), ruleY), QPointF(area.right(), ruleY));

  QFont heading(kHeadingFont);
  heading.setPointSizeF(12);
  heading.setBold(true);
  p.setFont(heading);
  p.setPen(kHeadingColour);
  double y = ruleY + px(30);
  p.drawText(QPointF(area.left(), y), QStringLiteral("Contents"));
  QFont entry(kBodyFont);
  entry.setPointSizeF(10.5);
  p.setFont(entry);
  p.setPen(Qt::black);
  const QFontMetricsF metrics(entry, p.device());
  y += px(24);
  for (const Chapter& chapter : chapters) {
    const QString number = QString::number(chapter.page);
    const double numberWidth = metrics.horizontalAdvance(number);
    p.drawText(QPointF(area.left(), y), chapter.title);
    rows << QRectF(area.left(), y - metrics.ascent(), area.width(), metrics.height());
    p.drawText(QPointF(area.right() - numberWidth, y), number);
    // Dotted leader between the title and its page.
    const double from = area.left() + metrics.horizontalAdvance(chapter.title) + px(6);
    const double to = area.right() - numberWidth - px(6);
    p.save();
    p.setPen(QPen(kRuleColour, px(0.8), Qt::DotLine));
    if (to > from) p.drawLine(QPointF(from, y - px(2.5)), QPointF(to, y - px(2.5)));
    p.restore();
    y += px(17);
  }
}

void drawFooter(QPainter& p, const QRectF& area, const QString& title, int page) {
  QFont small(kHeadingFont);
  small.setPointSizeF(8);
  p.setFont(small);
  p.setPen(QPen(kRuleColour, px(0.5)));
  const double y = area.bottom() + px(kFooterGap - 15);
  p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
  p.setPen(QColor(0x55, 0x5b, 0x63));
  const QRectF text(area.left(), y + px(3), area.width(), px(12));
  p.drawText(text, Qt::AlignLeft | Qt::AlignTop, title);
  p.drawText(text, Qt::AlignRight | Qt::AlignTop, QString::number(page));
}

int fail(const QString& text) {
  std::fprintf(stderr, "velmora-manualpdf: %s\n", qPrintable(text));
  return 1;
}

} // namespace

// Build logs stay quiet about the offscreen platform's missing runtime folder.
static void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg || message.contains(QLatin1String("XDG_RUNTIME_DIR"))) return;
  std::fprintf(stderr, "velmora-manualpdf: %s\n", qPrintable(message));
}

int main(int argc, char** argv) {
  // Rendering needs fonts, not a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(quietHandler);
  // The writer lists fonts in hash order: a fixed seed keeps two builds byte for byte the same.
  QHashSeed::setDeterministicGlobalSeed();
  QGuiApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  QString subtitle, pngFolder;
  QStringList files;
  for (int i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--subtitle") && i + 1 < args.size())
      subtitle = args[++i];
    else if (args[i] == QLatin1String("--png") && i + 1 < args.size())
      pngFolder = args[++i];
    else
      files << args[i];
  }
  if (files.size() != 2) {
    std::fprintf(stderr, "usage: velmora-manualpdf IN.md OUT.pdf [--subtitle TEXT] [--png DIR]\n");
    return 2;
  }
  QFile in(files[0]);
  if (!in.open(QIODevice::ReadOnly)) return fail(QStringLiteral("cannot read ") + files[0]);
  const QString markdown = QString::fromUtf8(in.readAll());

  // The margins are ours: the writer's page is the whole sheet, on the PDF as on the pictures.
  QBuffer written;
  written.open(QIODevice::WriteOnly);
  QPdfWriter writer(&written);
  writer.setResolution(kResolution);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
  writer.setCreator(QStringLiteral("velmora-manualpdf"));
  const QRectF full = writer.pageLayout().fullRectPixels(kResolution);
  const QPointF origin(px(kMarginLeft), px(kMarginTop));
  const QRectF area(0, 0, full.width() - px(kMarginLeft + kMarginRight),
                    full.height() - px(kMarginTop + kMarginBottom));

  QTextDocument doc;
  doc.documentLayout()->setPaintDevice(&writer);
  QFont body(kBodyFont);
  body.setPointSizeF(9.8);
  doc.setDefaultFont(body);
  doc.setDocumentMargin(0);
  doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
  const QString title = takeTitle(doc);
  writer.setTitle(title);
  // Styled before it has pages: a paged document lays itself out again after every change.
  const QStringList missing = styleDocument(doc, QFileInfo(files[0]).absolutePath(), area.width());
  if (!missing.isEmpty()) return fail(QStringLiteral("cannot read the picture ") + missing.join(QStringLiteral(", ")));
  doc.setPageSize(QSizeF(area.width(), area.height() - px(kFooterGap)));
  // Each can move text the other has to look at again. Every round starts from a
  // whole new layout: after such changes the layout can leave blocks with no lines.
  for (int round = 0; round < 8; ++round) {
    doc.markContentsDirty(0, doc.characterCount());
    const bool moved = keepHeadingsWithText(doc);
    if (!splitBlocksAtPageFeet(doc) && !moved) break;
  }
  doc.markContentsDirty(0, doc.characterCount());
  const QList<Chapter> chapters = chaptersOf(doc);
  const int pages = doc.pageCount();
  const double pageHeight = doc.pageSize().height();
  PdfMarks marks;
  collectMarks(doc, marks);
  QList<QRectF> contentsRows;

  // Each page drawn once through a painter: on the PDF and, when asked, on a picture.
  const auto drawPage = [&](QPainter& p, int index) {
    p.save();
    p.translate(origin);
    if (index == 0) {
      contentsRows.clear();
      drawTitlePage(p, area, title, subtitle, chapters, contentsRows);
    } else {
      const int contentPage = index - 1;
      p.save();
      p.translate(0, -contentPage * pageHeight);
      QAbstractTextDocumentLayout::PaintContext context;
      context.clip = QRectF(0, contentPage * pageHeight, area.width(), pageHeight);
      p.setClipRect(context.clip);
      doc.documentLayout()->draw(&p, context);
      p.restore();
      drawFooter(p, QRectF(0, 0, area.width(), pageHeight), title, index + 1);
    }
    p.restore();
  };

  QPainter painter;
  if (!painter.begin(&writer)) return fail(QStringLiteral("cannot start the PDF"));
  for (int index = 0; index <= pages; ++index) {
    if (index > 0) writer.newPage();
    drawPage(painter, index);
  }
  painter.end();
  // The contents lines jump to their chapters.
  for (qsizetype i = 0; i < contentsRows.size() && i < marks.outline.size(); ++i) {
    const QRectF row = contentsRows[i].translated(origin);
    const auto point = [](double x, double y) { return QPointF(x * 72.0 / kResolution, kPageHeight - y * 72.0 / kResolution); };
    marks.links.push_back({0, QRectF(point(row.left(), row.bottom()), point(row.right(), row.top())),
                           marks.outline[i].target});
  }
  // Builds are reproducible: the date comes from SOURCE_DATE_EPOCH when it is set.
  bool dated = false;
  const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&dated);
  QString error;
  const QByteArray pdf = addMarks(written.data(), marks, dated ? epoch : QDateTime::currentSecsSinceEpoch(), error);
  if (pdf.isEmpty()) return fail(files[1] + QStringLiteral(": ") + error);
  if (!pngFolder.isEmpty()) {
    QDir().mkpath(pngFolder);
    for (int index = 0; index <= pages; ++index) {
      QImage image(full.size().toSize(), QImage::Format_RGB32);
      image.setDotsPerMeterX(static_cast<int>(kResolution / 0.0254));
      image.setDotsPerMeterY(static_cast<int>(kResolution / 0.0254));
      image.fill(Qt::white);
      QPainter p(&image);
      drawPage(p, index);
      p.end();
      image.scaled(image.size() / 3, Qt::KeepAspectRatio, Qt::SmoothTransformation)
          .save(QStringLiteral("%1/page-%2.png").arg(pngFolder).arg(index + 1, 2, 10, QLatin1Char('0')));
    }
  }
  // Renamed into place only when complete, so a failed build leaves no half manual.
  QDir().mkpath(QFileInfo(files[1]).absolutePath());
  QSaveFile out(files[1]);
  if (!out.open(QIODevice::WriteOnly) || out.write(pdf) != pdf.size() || !out.commit())
    return fail(QStringLiteral("cannot write ") + files[1]);
  std::printf("%s: %d pages\n", qPrintable(files[1]), pages + 1);
  return 0;
}

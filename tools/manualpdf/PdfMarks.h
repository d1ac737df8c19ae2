#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRectF>
#include <QString>

namespace velmora::manualpdf {

// A place in the PDF: a page (0-based) and a point in PDF units from the bottom left.
struct PdfTarget {
  int page = 0;
  double x = 0, y = 0;
};

struct PdfOutlineItem {
  QString title;
  PdfTarget target;
  QList<PdfOutlineItem> children;
};

// A link the writer could not make itself: a rectangle in PDF units on a page.
struct PdfLink {
  int page = 0;
  QRectF rect;
  PdfTarget target;
};

struct PdfMarks {
  QList<PdfOutlineItem> outline;
  QHash<QString, PdfTarget> anchors; // "#name" links of the writer jump here
  QList<PdfLink> links;
};

// Adds the outline and internal links to a PDF that QPdfWriter wrote, as an
// incremental update, and replaces its creation date by `date` (seconds since
// 1970, UTC). Returns an empty array and sets `error` when the
// file is not what the writer makes or a link names no anchor.
QByteArray addMarks(const QByteArray& pdf, const PdfMarks& marks, qint64 date, QString& error);

// A PDF text string: UTF-16BE with its byte-order mark, in hex.
QByteArray pdfText(const QString& text);

} // namespace velmora::manualpdf

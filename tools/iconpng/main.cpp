// velmora-iconpng ICON.svg OUT_DIR SIZE...: the icon as OUT_DIR/SIZExSIZE.png for
// each size, drawn from the SVG by Qt's image plugin, for software centres and
// desktops that want pixel icons.
#include <QGuiApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 4) {
    std::fprintf(stderr, "usage: velmora-iconpng ICON.svg OUT_DIR SIZE...\n");
    return 2;
  }
  QDir().mkpath(args[2]);
  for (qsizetype i = 3; i < args.size(); ++i) {
    bool ok = false;
    const int size = args[i].toInt(&ok);
    if (!ok || size < 1 || size > 1024) {
      std::fprintf(stderr, "velmora-iconpng: not a size: %s\n", qPrintable(args[i]));
      return 2;
    }
    QImageReader reader(args[1]);
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    const QString path = QStringLiteral("%1/%2x%2.png").arg(args[2]).arg(size);
    QSaveFile out(path);
    if (image.isNull() || !out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit()) {
      std::fprintf(stderr, "velmora-iconpng: cannot draw %s at %d pixels into %s\n", qPrintable(args[1]), size,
                   qPrintable(path));
      return 1;
    }
  }
  return 0;
}

// Build-time tool: turns the Markdown manual into the PDF that "Help File" opens, with what
// Qt already has (its Markdown reader and PDF writer), so the manual needs no other tool.
// Usage: manual_pdf MANUAL.md OUTPUT.pdf
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>

#include <algorithm>

#include <cstdio>

namespace {
// Screenshots are as wide as the windows they show; no picture may run past the text width.
constexpr double kMaxImageWidth = 560;

void FitImages(QTextDocument& doc, const QString& folder, double maxWidth) {
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      QTextImageFormat image = fragment.charFormat().toImageFormat();
      if (!image.isValid()) continue;
      const QImage picture(QDir(folder).filePath(image.name()));
      if (picture.isNull()) continue;
      const double scale = std::min(1.0, maxWidth / picture.width());
      doc.addResource(QTextDocument::ImageResource, QUrl(image.name()), picture);
      image.setWidth(picture.width() * scale);
      image.setHeight(picture.height() * scale);
      QTextCursor cursor(&doc);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      cursor.setCharFormat(image);
    }
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: manual_pdf MANUAL.md OUTPUT.pdf\n");
    return 2;
  }
  QFile in(QString::fromLocal8Bit(argv[1]));
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "manual_pdf: cannot read %s\n", argv[1]);
    return 1;
  }
  QTextDocument doc;
  // Pictures named in the Markdown are found beside it.
  doc.setBaseUrl(QUrl::fromLocalFile(QFileInfo(in.fileName()).absolutePath() + QLatin1Char('/')));
  QFont body(QStringLiteral("DejaVu Sans"));
  body.setPointSizeF(10);
  doc.setDefaultFont(body);
  doc.setDefaultStyleSheet(
      QStringLiteral("h1 { color: #1a3a5c; } h2 { color: #1a3a5c; } "
                     "code { font-family: 'DejaVu Sans Mono'; }"));
  doc.setMarkdown(QString::fromUtf8(in.readAll()));
  FitImages(doc, QFileInfo(in.fileName()).absolutePath(), kMaxImageWidth);

  QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
  pdf.setTitle(QStringLiteral("Ostrel manual"));
  pdf.setCreator(QStringLiteral("Ostrel"));
  pdf.setResolution(300);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter));
  // Laid out in pages of its own (A4 less the margins, at 96 dots an inch), so printing
  // uses this document, pictures included, rather than an unpaginated copy.
  doc.setPageSize(QSizeF(174.0 / 25.4 * 96, 261.0 / 25.4 * 96));
  doc.print(&pdf);
  return 0;
}

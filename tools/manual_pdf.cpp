// Build-time tool: turns the Markdown manual into the PDF that "Help File" opens, with what
// Qt already has (its Markdown reader and PDF writer), so the manual needs no other tool.
// Usage: manual_pdf MANUAL.md OUTPUT.pdf
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

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
  doc.setDefaultStyleSheet(QStringLiteral("h1 { color: #1a3a5c; } h2 { color: #1a3a5c; } "
                                          "code { font-family: 'DejaVu Sans Mono'; }"));
  doc.setMarkdown(QString::fromUtf8(in.readAll()));

  QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
  pdf.setTitle(QStringLiteral("Ostrel manual"));
  pdf.setCreator(QStringLiteral("Ostrel"));
  pdf.setResolution(300);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter));
  doc.print(&pdf);
  return 0;
}

#include "app/uInfo.h"

#include "platform/WindowStyle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ostrel {

namespace {
constexpr int kWidth = 545;
constexpr int kHeight = 333;

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, int w, int h, int pixelSize,
                  bool bold, const QColor& color, Qt::Alignment align = Qt::AlignLeft) {
  auto* l = new QLabel(text, parent);
  QFont f = l->font();
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  l->setFont(f);
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, color);
  l->setPalette(pal);
  l->setAlignment(align | Qt::AlignVCenter);
  l->setGeometry(x, y, w, h);
  return l;
}
}  // namespace

QPixmap OstrelLogo() {
  QPixmap pm(227, 142);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath frame;
  frame.addRoundedRect(QRectF(1.5, 1.5, 224, 139), 10, 10);
  QLinearGradient bg(0, 0, 0, 142);
  bg.setColorAt(0, QColor(40, 44, 52));
  bg.setColorAt(1, QColor(8, 9, 12));
  p.fillPath(frame, bg);
  p.setPen(QPen(QColor(150, 150, 150), 1.5));
  p.drawPath(frame);

  // Twelve LED bars at a frozen moment of music, segmented like the meters of the program.
  p.setRenderHint(QPainter::Antialiasing, false);
  static constexpr int kLevels[12] = {18, 22, 15, 20, 24, 21, 12, 16, 19, 23, 14, 17};
  constexpr int kSegments = 26, kSegH = 3, kGap = 1, kBottom = 118, kBarW = 11, kLeft = 20;
  for (int b = 0; b < 12; ++b) {
    const int x = kLeft + b * (kBarW + 5);
    for (int s = 0; s < kSegments; ++s) {
      const int y = kBottom - (s + 1) * (kSegH + kGap);
      const bool lit = s < kLevels[b] || s == kLevels[b] + 1;
      QColor c = s >= 22   ? QColor(230, 40, 40)
                 : s >= 17 ? QColor(240, 220, 40)
                           : QColor(40, 220, 60);
      if (!lit) c = c.darker(420);
      p.fillRect(QRect(x, y, kBarW, kSegH), c);
    }
  }
  p.setRenderHint(QPainter::Antialiasing);
  QFont f = p.font();
  f.setPixelSize(15);
  f.setBold(true);
  f.setLetterSpacing(QFont::AbsoluteSpacing, 4);
  p.setFont(f);
  p.setPen(QColor(0xF0, 0xFB, 0xFF).darker(105));
  p.drawText(QRect(0, 119, 227, 20), Qt::AlignCenter, QStringLiteral("OSTREL"));
  return pm;
}

TFrmInfo::TFrmInfo(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("FrmInfo"));
  setWindowTitle(QStringLiteral("Programm Info"));
  setFixedSize(kWidth, kHeight);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
  setPalette(pal);

  auto* logo = new QLabel(this);
  logo->setObjectName(QStringLiteral("Image1"));
  logo->setPixmap(OstrelLogo());
  logo->setGeometry(12, 12, 227, 142);

  MakeLabel(this, QStringLiteral("Multi Ostrel"), 258, 24, 270, 34, 24, true, Qt::black)
      ->setObjectName(QStringLiteral("Label1"));
  MakeLabel(this, QStringLiteral("Version " OSTREL_VERSION " for Linux"), 258, 60, 270, 20, 13,
            false, QColor(40, 40, 40))
      ->setObjectName(QStringLiteral("Label2"));
  MakeLabel(this, QStringLiteral("24-channel peak programme meter"), 258, 80, 270, 20, 13, false,
            QColor(40, 40, 40));

  MakeLabel(this, QStringLiteral("Made by the Ostrel team"), 200, 228, 325, 18, 13, true, Qt::black,
            Qt::AlignRight);
  MakeLabel(this, QStringLiteral("for studio and broadcast engineers"), 200, 248, 325, 18, 12,
            false, QColor(40, 40, 40), Qt::AlignRight);
  MakeLabel(this,
            QStringLiteral("Nordic N9 \u00b7 DIN 45406 \u00b7 BBC \u00b7 EBU \u00b7 Digital PPM"),
            200, 268, 325, 18, 12, false, QColor(40, 40, 40), Qt::AlignRight);

  Label11 = MakeLabel(this, QStringLiteral(">> close <<"), 16, 296, 120, 22, 14, true, Qt::red);
  Label11->setObjectName(QStringLiteral("Label11"));
  Label11->setCursor(Qt::PointingHandCursor);
  Label11->installEventFilter(this);

  CentreOnScreen(this);
}

void TFrmInfo::Label11Click() {
  close();
}

bool TFrmInfo::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label11 && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    Label11Click();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TFrmInfo::paintEvent(QPaintEvent*) {
  // A raised frame 4 pixels inside the window's edge.
  QPainter p(this);
  const QRect r = rect().adjusted(4, 4, -5, -5);
  p.setPen(Qt::white);
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(QColor(0x80, 0x80, 0x80));
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace ostrel

#pragma once
// The information window: shown without a frame while the program starts, and again
// from Help "Info".

#include <QWidget>

class QLabel;

namespace ostrel {

class TFrmInfo : public QWidget {
  Q_OBJECT
 public:
  explicit TFrmInfo(QWidget* parent = nullptr);

  QLabel* Label11 = nullptr;  // ">> close <<"

  // Click on ">> close <<": hides the window.
  void Label11Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// The logo of the information window (227 x 142), drawn in code.
QPixmap OstrelLogo();

}  // namespace ostrel

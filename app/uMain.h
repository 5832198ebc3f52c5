#pragma once
// The main meter window: the program itself. Closing it stores the settings and ends
// the program.

#include <QWidget>

class QTimer;

namespace ostrel {

class TfMain : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 1384;
  static constexpr int kFixedHeight = 768;

  explicit TfMain(QWidget* parent = nullptr);

  // The one-shot start-up timer (2000 ms), armed at creation.
  QTimer* Timer1 = nullptr;

  // Start-up pass, run once per arming of Timer1.
  void Timer1Timer();
  // Close step: stores the settings. Runs for "Exit && Save" and for a close by the frame.
  void FormClose();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
};

}  // namespace ostrel

#pragma once
// The log window: one line per silence alarm, which the user can save as a text file.

#include <QWidget>

namespace ostrel {

class TfLogFile : public QWidget {
  Q_OBJECT
 public:
  explicit TfLogFile(QWidget* parent = nullptr);
};

}  // namespace ostrel

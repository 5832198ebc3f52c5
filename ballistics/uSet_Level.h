#pragma once
// The level settings window: meter standard, colours, zones, peaks and the silence
// detector's settings for all 24 meters. Its controls are the program's working store for
// these settings; their handlers apply them to the main window's meters at once.

#include <QDialog>

namespace ostrel {

class TImageControl;
class TMMLEDSpin;
class TMMLevelScale;
class TRadioGroup;

class TfSetLevel : public QDialog {
  Q_OBJECT
 public:
  explicit TfSetLevel(QWidget* parent = nullptr);

  TRadioGroup* rg_Meter = nullptr;     // " Meter ballistics "
  TRadioGroup* rg_referenz = nullptr;  // " Referenz Level "
  TMMLEDSpin* sp_peaks = nullptr;      // peak-marker spots, 0..5
  TMMLEDSpin* ol_top = nullptr;        // "OL Level Top", 1..100
  TMMLEDSpin* ol_button = nullptr;     // "OL Level Button", 1..100
  TImageControl* ima_nordic1 = nullptr;  // preview scale picture
  TMMLevelScale* Scale_outfit = nullptr; // preview scale of "Digital PPM"

  // Applies the selected meter standard to all 24 meters, their scale pictures and the
  // title panel. Safe to run at any time; repeating it gives the same result.
  void rg_MeterClick();
};

}  // namespace ostrel

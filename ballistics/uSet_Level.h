#pragma once
// The level settings window: meter standard, colours, zones, peaks and the silence
// detector's settings for all 24 meters. Its controls are the program's working store for
// these settings; their handlers apply them to the main window's meters at once, and are
// also run without a click (settings load, main window resize, end of an alarm flash), so
// each one leaves the same result however often it runs.

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace ostrel {

class TFileDialog;
class TImageControl;
class TMMAudioPlayer;
class TMMColorButton;
class TMMLEDLABEL;
class TMMLEDPanel;
class TMMLEDSpin;
class TMMLevel;
class TMMLevelScale;
class TMMNumberEdit;
class TMMSpinButton;
class TRadioGroup;

class TfSetLevel : public QDialog {
  Q_OBJECT
 public:
  explicit TfSetLevel(QWidget* parent = nullptr);

  // ---- Preview strip -------------------------------------------------------------------
  QFrame* Panel3 = nullptr;               // black, 57 x 453, left edge
  TMMLevel* Level8 = nullptr;             // the preview meter (not the main window's Level8)
  TMMLEDLABEL* LED8 = nullptr;            // preview label "Git"
  TImageControl* ima_nordic1 = nullptr;   // preview scale picture
  TMMLevelScale* Scale_outfit = nullptr;  // preview scale of "Digital PPM"

  // ---- Meter controls ------------------------------------------------------------------
  TRadioGroup* rg_Meter = nullptr;     // " Meter ballistics "
  TRadioGroup* rg_integral = nullptr;  // " Integration time "
  TRadioGroup* rg_referenz = nullptr;  // " Referenz Level "
  TRadioGroup* rg_stereo = nullptr;    // " Lelvel Display "
  TMMLEDSpin* ol_top = nullptr;        // "OL Level Top", 1..100
  TMMLEDSpin* ol_button = nullptr;     // "OL Level Button", 1..100
  TMMLEDSpin* sp_peaks = nullptr;      // peak-marker spots, 0..5
  TMMLEDSpin* MMLEDSpin5 = nullptr;    // spot space, 0..2
  TMMLEDSpin* MMLEDSpin4 = nullptr;    // "Decay ( speed )", 5..16
  QCheckBox* CheckBox2 = nullptr;      // "Leave max Peak"
  // Bar colours. Column "Levels 1-4": 1 top, 2 middle, 3 bottom; "Levels 5-8": 7, 6, 5;
  // "Levels 9-12": 10, 9, 8; "Levels 13-16": 13, 12, 11. 4 is the label colour.
  TMMColorButton* MMColorButton1 = nullptr;
  TMMColorButton* MMColorButton2 = nullptr;
  TMMColorButton* MMColorButton3 = nullptr;
  TMMColorButton* MMColorButton4 = nullptr;
  TMMColorButton* MMColorButton5 = nullptr;
  TMMColorButton* MMColorButton6 = nullptr;
  TMMColorButton* MMColorButton7 = nullptr;
  TMMColorButton* MMColorButton8 = nullptr;
  TMMColorButton* MMColorButton9 = nullptr;
  TMMColorButton* MMColorButton10 = nullptr;
  TMMColorButton* MMColorButton11 = nullptr;
  TMMColorButton* MMColorButton12 = nullptr;
  TMMColorButton* MMColorButton13 = nullptr;
  QCheckBox* cb_top = nullptr;      // "Stay on Top"
  QLabel* lab_top = nullptr;        // red "Meter stay on top"
  QPushButton* Button2 = nullptr;   // "Preview"
  QPushButton* btn_save = nullptr;  // "Save"
  QPushButton* Button1 = nullptr;   // "Save && Close"
  QTimer* Timer1 = nullptr;         // 1000 ms after showing, once
  // A number this window carries for the settings ("nEdit2"); nothing here uses it.
  int nEdit2 = 0;

  // ---- Silence detector controls -------------------------------------------------------
  QFrame* SilenceFrame = nullptr;
  QLabel* lab_detect = nullptr;  // red "Silence Detector", clicks like chb_detect
  QCheckBox* chb_detect = nullptr;
  TMMNumberEdit* nEdit = nullptr;            // "Silence Detector dBFS", -99..-1
  TMMSpinButton* spin_db2 = nullptr;         // steps nEdit, -99..-1
  TMMSpinButton* spin_db = nullptr;          // hidden: threshold amplitude, 0..32768
  TMMLEDPanel* led_db = nullptr;             // hidden: the amplitude the check compares with
  TMMLEDSpin* spin_sec = nullptr;            // "Silence in x sec", 1..32768
  TMMLEDSpin* sp_interval = nullptr;         // "Interval in x sec", 1..999
  QPushButton* btn_load = nullptr;           // "Load Audio File"
  QLabel* lab_file = nullptr;                // the alarm file's name
  QCheckBox* cb_arlarm = nullptr;            // "Play Sound File"
  TMMLEDSpin* sp_arlarm = nullptr;           // "Repet in x sec", 1..999
  QTimer* t_reset = nullptr;                 // re-arms the alarm sound
  TFileDialog* MMWaveOpenDialog1 = nullptr;  // chooses the alarm file
  TMMAudioPlayer* MMAudioPlayer1 = nullptr;  // plays the alarm file

  // ---- Window handlers -----------------------------------------------------------------
  void FormShow();
  void FormClose();
  void Timer1Timer();
  void MMColorButton1Change();
  void MMColorButton2Change();
  void MMColorButton3Change();
  void MMColorButton4Change();
  void Button1Click();
  void cb_topClick();

  // ---- Ballistics handlers (all 24 meters of the main window) --------------------------
  void rg_MeterClick();
  void rg_integralClick();
  void rg_referenzClick();
  void rg_stereoClick();
  void CheckBox2Click();
  void sp_peaksChange();
  void MMLEDSpin4Change();
  void MMLEDSpin5Change();
  void ol_topChange();
  void ol_buttonChange();
  void Button2Click();
  void btn_saveClick();

  // ---- Silence detector handlers (uSet_LevelSilence.cpp) -------------------------------
  void spin_dbChange();
  void chb_detectClick();
  void sp_intervalChange();
  void sp_arlarmChange();
  void btn_loadClick();
  void MMAudioPlayer1Stop();
  void t_resetTimer();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildPreviewStrip();
  QWidget* BuildMeterControls();
  QWidget* BuildColorColumns();
  QWidget* BuildSpins();
  void BuildSilenceControls();
  void BuildButtons();
  void ConnectHandlers();
};

}  // namespace ostrel

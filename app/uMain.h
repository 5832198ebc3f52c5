#pragma once
// The main meter window: the program itself. 24 black channel strips side by side, each
// with a level bar, a scale picture, a hidden scale control and an LED label, under a
// title panel and the main menu. Closing it stores the settings and ends the program.

#include <QHash>
#include <QWidget>

#include <array>

class QAction;
class QLabel;
class QMenuBar;
class QScrollArea;
class QTimer;

namespace ostrel {

class TImageControl;
class SilenceWatch;
class TMMConnector;
class TSkinData;
class TMMWaveIn;
class TMMLEDLABEL;
class TMMLevel;
class TMMLevelScale;

class TfMain : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kChannels = 24;
  static constexpr int kDesignWidth = 1384;
  static constexpr int kFixedHeight = 768;
  static constexpr int kStripWidth = 57;
  static constexpr int kStripHeight = 688;
  static constexpr int kScrollStep = 78;

  explicit TfMain(QWidget* parent = nullptr);
  ~TfMain() override;

  // Finds a component of this window by name without regard to case ("led9", "LED9").
  QObject* FindComponent(const QString& name) const;
  // The channel's component by composed name: prefix + n, e.g. ("ima_Nordic", 3).
  template <class T>
  T* Channel(const QString& prefix, int n) const {
    return qobject_cast<T*>(FindComponent(prefix + QString::number(n)));
  }
  TMMLevel* Level(int n) const;
  TMMLEDLABEL* Led(int n) const;
  TImageControl* ImaNordic(int n) const;
  TMMLevelScale* LevelScale(int n) const;
  QTimer* TimerStart(int n) const;

  // State shared with the other windows.
  int ChannelCount = 24;
  bool LogActive = false;
  std::array<int, kChannels + 1> SilenceCount{};  // index 1..24
  std::array<bool, kChannels + 1> QuietSeen{};    // index 1..24

  // Components.
  QMenuBar* MainMenu1 = nullptr;
  QLabel* Panel1 = nullptr;
  QScrollArea* ScrollBox = nullptr;
  QAction* N2Channels1 = nullptr;
  QAction* N4Channels1 = nullptr;
  QAction* N8Channels1 = nullptr;
  QAction* N16Channels1 = nullptr;
  QAction* N24Channels1 = nullptr;
  QAction* Level99 = nullptr;
  QAction* Input1 = nullptr;
  QAction* LevelLabel1 = nullptr;
  QAction* ProgramSkin1 = nullptr;
  QAction* ShowLogfile1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* HelpFile1 = nullptr;
  QAction* Quandrelhomepage1 = nullptr;
  QAction* Info1 = nullptr;
  QTimer* Timer1 = nullptr;         // start-up pass, 2000 ms, one-shot
  QTimer* TimerOff = nullptr;       // silence poll
  QTimer* TimerOn = nullptr;        // end of an alarm flash
  SilenceWatch* Silence = nullptr;  // handlers of TimerOff, TimerOn and Timer_start1..24
  TSkinData* SkinData1 = nullptr;   // the program's skin engine
  // Stereo input k (1..12) feeds connector k, which feeds the meters of channels 2k-1, 2k.
  std::array<TMMWaveIn*, 13> MMWaveIn{};
  std::array<TMMConnector*, 13> MMConnector{};

  // Menu handlers.
  void N2Channels1Click();
  void N4Channels1Click();
  void N8Channels1Click();
  void N16Channels1Click();
  void N24Channels1Click();
  void Level99Click();
  void Input1Click();
  void LevelLabel1Click();
  void ProgramSkin1Click();
  void ShowLogfile1Click();
  void Exit1Click();
  void HelpFile1Click();
  void Quandrelhomepage1Click();
  void Info1Click();
  // Double-click on any channel's LED label.
  void LED1DblClick();

  // Window handlers.
  void FormResize();
  void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  // Creation: loads the default skin, then the one chosen last.
  void FormCreate();
  // Show step: restores the stored settings into the meters, labels, windows and inputs and
  // starts capture. Runs at every showing of the window.
  void FormShow();
  // Start-up pass, two seconds after creation and after each channel menu item.
  void Timer1Timer();
  // Close step: stores the settings. Runs for "Exit && Save" and for a close by the frame.
  void FormClose();

  // Checks the menu item of a channel-count mode (0..4) and clears the other four.
  void MarkChannelMode(int modeIndex);
  // Closes all twelve capture inputs, each failure ignored on its own.
  void CloseAllInputs();
  // Starts the inputs a mode uses (1, 2, 4, 8 or 12), in ascending order; an input that
  // fails to start is skipped and the next one started.
  void StartInputsOfMode(int modeIndex);

  // The manual, opened by its bare name in the working directory.
  static constexpr const char* kManualName = "24 Channel Multi Ostrel.pdf";
  static constexpr const char* kHomepage = "https://ostrel.org/";

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildMenu();
  void BuildStrips(QWidget* host);
  void BuildAudio();
  // Reads channel n's stored meter values and LED colour, the current ones as defaults.
  void RestoreChannel(int n);
  void IndexComponents();
  void EnableTimer1();

  QHash<QString, QObject*> components_;  // lower-case name -> component
};

}  // namespace ostrel

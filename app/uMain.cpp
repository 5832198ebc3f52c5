#include "app/uMain.h"

#include "app/Settings.h"
#include "app/uInfo.h"
#include "app/uWindowSet.h"
#include "audio/MMConect.h"
#include "audio/MMWavIn.h"
#include "audio/uMultimode.h"
#include "ballistics/ScaleImages.h"
#include "ballistics/uSet_Level.h"
#include "labels_skins/uLabels.h"
#include "labels_skins/uSkin.h"
#include "metering/MMLevel.h"
#include "metering/MMLevelScale.h"
#include "metering/MMScale.h"
#include "platform/AudioPlayer.h"
#include "platform/ImageControl.h"
#include "platform/MMLEDLabel.h"
#include "platform/MMLEDSpin.h"
#include "platform/MMSpinButton.h"
#include "platform/RadioGroup.h"
#include "platform/Shell.h"
#include "platform/SkinData.h"
#include "silence/uLogFile.h"
#include "silence/uSilenceWatch.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace ostrel {

namespace {
// Places inside a channel strip.
constexpr int kLevelLeft = 1, kLevelTop = 11, kLevelWidth = 18;
constexpr int kPictureLeft = 20, kPictureTop = 1, kPictureWidth = 37;
constexpr int kScaleTop = 12;
constexpr int kLedLeft = 1, kLedTop = 661, kLedWidth = 55, kLedHeight = 26;
// The strip's own tag that tells the skin engine to leave it alone.
constexpr int kUnskinnedTag = 99;

QString LedName(int n) {
  return (n <= 8 ? QStringLiteral("LED") : QStringLiteral("led")) + QString::number(n);
}
}  // namespace

TfMain::TfMain(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("fMain"));
  setWindowTitle(QStringLiteral("Multi Ostrel "));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  column->setMenuBar(MainMenu1);
  BuildMenu();

  Panel1 = new QLabel(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(22);
  Panel1->setAlignment(Qt::AlignCenter);
  QFont titleFont(QStringLiteral("Arial"));
  titleFont.setPixelSize(16);
  titleFont.setBold(true);
  Panel1->setFont(titleFont);
  Panel1->setAutoFillBackground(true);
  Panel1->setPalette(pal);
  column->addWidget(Panel1);

  ScrollBox = new QScrollArea(this);
  ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
  ScrollBox->setFrameShape(QFrame::NoFrame);
  ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  ScrollBox->horizontalScrollBar()->setSingleStep(kScrollStep);
  ScrollBox->horizontalScrollBar()->setTracking(true);
  ScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* host = new QWidget;
  host->setObjectName(QStringLiteral("StripHost"));
  host->setFixedSize(kChannels * kStripWidth, kStripHeight);
  BuildStrips(host);
  ScrollBox->setWidget(host);
  column->addWidget(ScrollBox, 1);

  IndexComponents();  // the connectors find their meters by name
  BuildAudio();

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setInterval(2000);
  connect(Timer1, &QTimer::timeout, this, &TfMain::Timer1Timer);
  Silence = new SilenceWatch(*this);
  TimerOff = new QTimer(this);
  TimerOff->setObjectName(QStringLiteral("TimerOff"));
  TimerOff->setInterval(1000);
  connect(TimerOff, &QTimer::timeout, Silence, &SilenceWatch::TimerOffTimer);
  TimerOn = new QTimer(this);
  TimerOn->setObjectName(QStringLiteral("TimerOn"));
  TimerOn->setInterval(450);
  TimerOn->setSingleShot(true);
  connect(TimerOn, &QTimer::timeout, Silence, &SilenceWatch::TimerOnTimer);
  for (int n = 1; n <= kChannels; ++n) {
    auto* t = new QTimer(this);
    t->setObjectName(QStringLiteral("Timer_start") + QString::number(n));
    t->setInterval(1000);
    t->setSingleShot(true);
    connect(t, &QTimer::timeout, Silence, [this, n] { Silence->TimerStartTimer(n); });
  }

  IndexComponents();

  setMinimumHeight(kFixedHeight);
  setMaximumHeight(kFixedHeight);
  setGeometry(504, 178, kDesignWidth, kFixedHeight);
  FormCreate();
  Timer1->start();
}

void TfMain::FormCreate() {
  SkinData1 = &ProgramSkin();
  SkinData1->SetSkinFile(ProgramFolder() + QStringLiteral("/skins/iTunes.skn"));
  SkinData1->SetSkinFile(ReadString(QStringLiteral("skin"), SkinData1->SkinFile()));
}

TfMain::~TfMain() {
  // The capture inputs and connectors go first: closing an input still hands its last
  // buffers down the chain to the meters, which must exist until then.
  for (int k = 1; k <= 12; ++k) {
    delete MMWaveIn[k];
    MMWaveIn[k] = nullptr;
  }
  for (int k = 1; k <= 12; ++k) {
    delete MMConnector[k];
    MMConnector[k] = nullptr;
  }
}

void TfMain::BuildAudio() {
  for (int k = 1; k <= 12; ++k) {
    auto* wave = new TMMWaveIn(this);
    wave->setObjectName(QStringLiteral("MMWaveIn") + QString::number(k));
    wave->SetDeviceID(MapperId);
    wave->SetMode(mStereo);
    wave->SetChannels(2);
    wave->SetBitLength(b16Bit);
    wave->SetSampleRate(44100);
    wave->SetNumBuffers(k >= 2 && k <= 4 ? 5 : 2);
    auto* connector = new TMMConnector(this);
    connector->setObjectName(QStringLiteral("MMConnector") + QString::number(k));
    if (k == 1) connector->SetTriggerMode(tmDownFlank);
    wave->SetOutput(connector);
    connector->SetLevel1(Level(2 * k - 1));
    connector->SetLevel2(Level(2 * k));
    MMWaveIn[k] = wave;
    MMConnector[k] = connector;
  }
  TMMConnector::SetEnterIdle(false);
}

void TfMain::CloseAllInputs() {
  for (int k = 1; k <= 12; ++k) {
    try {
      MMWaveIn[k]->Close();
    } catch (...) {
      // An input that cannot be closed is left as it is; the others still close.
    }
  }
}

void TfMain::StartInputsOfMode(int modeIndex) {
  static constexpr int kInputsOfMode[5] = {1, 2, 4, 8, 12};
  if (modeIndex < 0 || modeIndex > 4) return;
  for (int k = 1; k <= kInputsOfMode[modeIndex]; ++k) {
    try {
      MMWaveIn[k]->Start();
    } catch (...) {
      // A device missing, busy or unable to record leaves its pair without signal.
    }
  }
}

void TfMain::BuildMenu() {
  auto add = [this](QMenu* menu, const char* name, const QString& caption,
                    void (TfMain::*handler)(), bool checkable = false) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  QMenu* settings = MainMenu1->addMenu(QStringLiteral("Settings"));
  QMenu* inputMode = settings->addMenu(QStringLiteral("Input mode"));
  N2Channels1 =
      add(inputMode, "N2Channels1", QStringLiteral("2 Channels"), &TfMain::N2Channels1Click, true);
  N4Channels1 =
      add(inputMode, "N4Channels1", QStringLiteral("4 Channels"), &TfMain::N4Channels1Click, true);
  N8Channels1 =
      add(inputMode, "N8Channels1", QStringLiteral("8 Channels"), &TfMain::N8Channels1Click, true);
  N16Channels1 = add(inputMode, "N16Channels1", QStringLiteral("16 Channels"),
                     &TfMain::N16Channels1Click, true);
  N24Channels1 = add(inputMode, "N24Channels1", QStringLiteral("24 Channels"),
                     &TfMain::N24Channels1Click, true);
  Level99 = add(settings, "Level99", QStringLiteral("Level outfit"), &TfMain::Level99Click);
  Input1 = add(settings, "Input1", QStringLiteral("Select audio input"), &TfMain::Input1Click);
  LevelLabel1 =
      add(settings, "LevelLabel1", QStringLiteral("Level labels"), &TfMain::LevelLabel1Click);
  ProgramSkin1 =
      add(settings, "ProgramSkin1", QStringLiteral("Program Skin"), &TfMain::ProgramSkin1Click);
  ShowLogfile1 =
      add(settings, "ShowLogfile1", QStringLiteral("Show Logfile"), &TfMain::ShowLogfile1Click);
  settings->addSeparator()->setObjectName(QStringLiteral("N1"));
  Exit1 = add(settings, "Exit1", QStringLiteral("Exit && Save"), &TfMain::Exit1Click);
  QMenu* help = MainMenu1->addMenu(QStringLiteral("Help"));
  HelpFile1 = add(help, "HelpFile1", QStringLiteral("Help File"), &TfMain::HelpFile1Click);
  Quandrelhomepage1 = add(help, "Quandrelhomepage1", QStringLiteral("Quandrel homepage"),
                          &TfMain::Quandrelhomepage1Click);
  Info1 = add(help, "Info1", QStringLiteral("Info"), &TfMain::Info1Click);
}

void TfMain::BuildStrips(QWidget* host) {
  for (int n = 1; n <= kChannels; ++n) {
    auto* strip = new QWidget(host);
    strip->setObjectName(QStringLiteral("Strip") + QString::number(n));
    strip->setProperty("Tag", kUnskinnedTag);
    strip->setGeometry(kStripWidth * (n - 1), 0, kStripWidth, kStripHeight);
    strip->setAutoFillBackground(true);
    QPalette black = strip->palette();
    black.setColor(QPalette::Window, Qt::black);
    strip->setPalette(black);

    auto* level = new TMMLevel(strip);
    level->setObjectName(QStringLiteral("Level") + QString::number(n));
    level->Bevel()->SetBevelOuter(bvRaised);
    level->Bevel()->SetBevelOuterWidth(1);
    level->Bevel()->SetBevelInner(bvNone);
    level->SetBounds(kLevelLeft, kLevelTop, kLevelWidth, kLedTop - 12);
    level->SetKind(lkVertical);
    level->SetChannel(n % 2 ? chLeft : chRight);
    level->SetMode(mStereo);
    level->SetBitLength(b16Bit);
    level->SetDecayMode(dmStepUp);
    level->SetBar1Color(clLime);
    level->SetBar2Color(clYellow);
    level->SetBar3Color(clRed);
    level->SetDecay(12);
    level->SetPoint1(n == 1 ? 58 : 56);
    level->SetPoint2(70);

    auto* picture = new TImageControl(QStringLiteral("ima_nordic") + QString::number(n), strip);
    picture->setGeometry(kPictureLeft, kPictureTop, kPictureWidth, kLedTop - 12);

    auto* scale = new TMMLevelScale(strip);
    scale->setObjectName(QStringLiteral("MMLevelScale") + QString::number(n));
    scale->SetBounds(kPictureLeft, kScaleTop, kPictureWidth, kLedTop - 12);
    scale->SetKind(lkVertical);
    scale->SetScaleTicks(26);
    scale->SetPoint1(91);
    scale->SetPoint2(92);
    scale->SetScale1Color(clSilver);
    scale->SetScale2Color(clSilver);
    scale->SetSensitivy(n == 1 ? -68 : -42);
    scale->setFont(TImageControl::DefaultFont());  // the small face of the scale pictures
    TMMLevScale* ticks = scale->Scale();
    ticks->SetTickCount(10);
    ticks->SetEnlargeEvery(1);
    ticks->SetSize(7);
    ticks->SetOrigin(soInner);
    ticks->SetConnect(false);
    ticks->SetVisible(false);
    scale->hide();

    auto* led = new TMMLEDLABEL(strip);
    led->setObjectName(LedName(n));
    led->setGeometry(kLedLeft, kLedTop, kLedWidth, kLedHeight);
    led->SetCaption(QString::number(n));
    led->SetLEDColor(clLime);
    led->SetInactiveColor(clBlack);
    connect(led, &TMMLEDLABEL::DblClick, this, &TfMain::LED1DblClick);
  }
}

void TfMain::IndexComponents() {
  // One case-insensitive index serves every composed-name lookup.
  for (QObject* o : findChildren<QObject*>()) {
    if (!o->objectName().isEmpty()) components_.insert(o->objectName().toLower(), o);
  }
}

QObject* TfMain::FindComponent(const QString& name) const {
  return components_.value(name.toLower(), nullptr);
}

TMMLevel* TfMain::Level(int n) const {
  return Channel<TMMLevel>(QStringLiteral("Level"), n);
}
TMMLEDLABEL* TfMain::Led(int n) const {
  return Channel<TMMLEDLABEL>(QStringLiteral("Led"), n);
}
TImageControl* TfMain::ImaNordic(int n) const {
  return Channel<TImageControl>(QStringLiteral("ima_Nordic"), n);
}
TMMLevelScale* TfMain::LevelScale(int n) const {
  return Channel<TMMLevelScale>(QStringLiteral("MMLevelScale"), n);
}
QTimer* TfMain::TimerStart(int n) const {
  return Channel<QTimer>(QStringLiteral("timer_start"), n);
}

// ---- Channel-count menu items ---------------------------------------------------------

void TfMain::EnableTimer1() {
  // Enabling an enabled timer does not restart its count.
  if (!Timer1->isActive()) Timer1->start();
}

void TfMain::MarkChannelMode(int modeIndex) {
  QAction* items[] = {N2Channels1, N4Channels1, N8Channels1, N16Channels1, N24Channels1};
  for (int i = 0; i < 5; ++i) items[i]->setChecked(i == modeIndex);
}

void TfMain::N2Channels1Click() {
  // This item's own mark follows the mode list, not the click.
  N2Channels1->setChecked(!N2Channels1->isChecked());
  fmulti->rg_mode->SetItemIndex(0);
  EnableTimer1();
}

void TfMain::N4Channels1Click() {
  N4Channels1->setChecked(!N4Channels1->isChecked());
  fmulti->rg_mode->SetItemIndex(1);
  EnableTimer1();
}

void TfMain::N8Channels1Click() {
  EnableTimer1();
  setMaximumWidth(463);  // a wider window shrinks, a narrower one keeps its width
  N16Channels1->setChecked(false);
  N24Channels1->setChecked(false);
}

void TfMain::N16Channels1Click() {
  setMaximumWidth(920);
  N8Channels1->setChecked(false);
  N24Channels1->setChecked(false);
  resize(920, height());
  EnableTimer1();
}

void TfMain::N24Channels1Click() {
  EnableTimer1();
  setMaximumWidth(kDesignWidth);
  N8Channels1->setChecked(false);
  N16Channels1->setChecked(false);
  resize(kDesignWidth, height());
}

// ---- Other menu items ----------------------------------------------------------------

void TfMain::Level99Click() {
  fSetLevel->show();
}

void TfMain::Input1Click() {
  CloseAllInputs();
  fmulti->exec();  // modal: other inputs' buffers are still served while it is open
  StartInputsOfMode(fmulti->rg_mode->ItemIndex());
}

void TfMain::LevelLabel1Click() {
  fLabels->exec();
}

void TfMain::ProgramSkin1Click() {
  fSkin->exec();
}

void TfMain::ShowLogfile1Click() {
  fLogFile->show();
}

void TfMain::Exit1Click() {
  close();
}

void TfMain::HelpFile1Click() {
  ShellOpen(
      QUrl::fromLocalFile(QDir::current().absoluteFilePath(QString::fromLatin1(kManualName))));
}

void TfMain::Quandrelhomepage1Click() {
  ShellOpen(QUrl(QString::fromLatin1(kHomepage)));
}

void TfMain::Info1Click() {
  FrmInfo->show();
}

void TfMain::LED1DblClick() {
  fLabels->exec();
}

// ---- Window handlers -------------------------------------------------------------------

void TfMain::FormResize() {
  const int height = Led(1)->y() - 12;
  for (int n = 1; n <= kChannels; ++n) {
    TMMLevel* level = Level(n);
    level->SetBounds(level->x(), level->y(), level->width(), height);
    TImageControl* picture = ImaNordic(n);
    picture->setGeometry(picture->x(), picture->y(), picture->width(), height);
    TMMLevelScale* scale = LevelScale(n);
    scale->SetBounds(scale->x(), scale->y(), scale->width(), height);
    scale->hide();
    picture->show();
  }
  if (fSetLevel) fSetLevel->rg_MeterClick();
}

void TfMain::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  // Every key makes the held markers step down: changing NumPeaks restarts their hold.
  for (int n = 1; n <= kChannels; ++n) Level(n)->SetNumPeaks(0);
  for (int n = 1; n <= kChannels; ++n) Level(n)->SetNumPeaks(fSetLevel->sp_peaks->Value());

  const bool keypad = modifiers & Qt::KeypadModifier;
  if (keypad && key >= Qt::Key_1 && key <= Qt::Key_9) {
    // Numpad 1..9 request entries 0..8; the list clamps requests past its end.
    fSetLevel->rg_Meter->SetItemIndex(key - Qt::Key_1);
  } else if (key >= Qt::Key_F6 && key <= Qt::Key_F10) {
    fmulti->rg_mode->SetItemIndex(key - Qt::Key_F6);
  }
}

namespace {
QString ChannelName(const char* prefix, int n) {
  return QString::fromLatin1(prefix) + QString::number(n);
}

// The file's own name: what follows the last path separator or drive colon.
QString BareFileName(const QString& path) {
  const qsizetype cut =
      std::max({path.lastIndexOf('/'), path.lastIndexOf('\\'), path.lastIndexOf(':')});
  return path.mid(cut + 1);
}
}  // namespace

void TfMain::RestoreChannel(int n) {
  TMMLevel* level = Level(n);
  level->SetDecay(ReadInt(ChannelName("Level Decay", n), level->Decay()));
  level->SetNumPeaks(ReadInt(ChannelName("Level NumPeaks", n), level->NumPeaks()));
  level->SetBar1Color(TColor(ReadInt(ChannelName("Level Bar1Color", n), int(level->Bar1Color()))));
  level->SetBar2Color(TColor(ReadInt(ChannelName("Level Bar2Color", n), int(level->Bar2Color()))));
  level->SetBar3Color(TColor(ReadInt(ChannelName("Level Bar3Color", n), int(level->Bar3Color()))));
  level->SetPoint1(ReadInt(ChannelName("Level Point1", n), level->Point1()));
  level->SetPoint2(ReadInt(ChannelName("Level Point2", n), level->Point2()));
  TMMLEDLABEL* led = Led(n);
  led->SetLEDColor(TColor(ReadInt(ChannelName("LedColor", n), int(led->LEDColor()))));
}

void TfMain::FormShow() {
  LogActive = true;
  SetScaleColor(clCream);
  // The standard handler picks its layout pass by the standard Level1 held before it.
  for (int n = 1; n <= 6; ++n) Level(n)->MeterStandard = 0;
  fmulti->rg_mode->SetItemIndex(ReadInt(QStringLiteral("rg Mode"), fmulti->rg_mode->ItemIndex()));
  fmulti->rg_modeClick();
  for (int n = 1; n <= kChannels; ++n) {
    Level(n)->SetPeakDelay(60);
    Level(n)->SetPeakSpeed(1);
    RestoreChannel(n);
    SilenceCount[n] = 0;
  }
  move(ReadInt(QStringLiteral("Window Left"), x()), ReadInt(QStringLiteral("Window top"), y()));
  for (int n = 1; n <= kChannels; ++n) Led(n)->SetCaption(ReadString(ChannelName("Edit ", n), {}));

  TfSetLevel& set = *fSetLevel;
  set.sp_peaks->SetValue(ReadInt(QStringLiteral("Peaks nr"), set.sp_peaks->Value()));
  set.MMLEDSpin5->SetValue(ReadInt(QStringLiteral("PSpot Space"), 1));
  set.MMLEDSpin5Change();
  set.sp_arlarm->SetValue(ReadInt(QStringLiteral("arlam sec"), 10));
  set.MMAudioPlayer1->SetFileName(ReadString(QStringLiteral("arlam file"), {}));
  set.lab_file->setText(BareFileName(set.MMAudioPlayer1->FileName()));
  set.CheckBox2->setChecked(ReadBool(QStringLiteral("Leave Peaks"), set.CheckBox2->isChecked()));
  set.CheckBox2Click();
  set.rg_Meter->SetItemIndex(ReadInt(QStringLiteral("rg Meter"), set.rg_Meter->ItemIndex()));
  set.rg_MeterClick();
  set.rg_integral->SetItemIndex(
      ReadInt(QStringLiteral("rg Integral ms"), set.rg_integral->ItemIndex()));
  set.rg_integralClick();
  set.rg_referenz->SetItemIndex(ReadInt(QStringLiteral("rg Integral"), 0));
  set.rg_referenzClick();
  fmulti->rg_sample->SetItemIndex(
      ReadInt(QStringLiteral("Samplerate"), fmulti->rg_sample->ItemIndex()));
  fmulti->rg_sampleClick();
  set.rg_stereo->SetItemIndex(ReadInt(QStringLiteral("rg Stereo"), set.rg_stereo->ItemIndex()));
  set.spin_db->SetValue(ReadInt(QStringLiteral("db_value"), set.spin_db->Value()));
  set.spin_db2->SetValue(ReadInt(QStringLiteral("db_value2"), set.spin_db2->Value()));
  set.spin_sec->SetValue(ReadInt(QStringLiteral("sec_value"), set.spin_sec->Value()));
  set.nEdit2 = ReadInt(QStringLiteral("nEdit2"), set.nEdit2);
  set.chb_detect->setChecked(ReadBool(QStringLiteral("cb detect"), set.chb_detect->isChecked()));
  set.ol_button->SetValue(ReadInt(QStringLiteral("Point1"), set.ol_button->Value()));

  // The very first start: the user picks the input devices before capture begins. The
  // modal window runs its own loop, so buffers and the start-up timer are served inside.
  if (!ReadBool(QStringLiteral("is Sound"), false)) fmulti->exec();

  for (int k = 1; k <= 12; ++k) {
    try {
      MMWaveIn[k]->SetDeviceID(ReadInt(ChannelName("multi_", k), 0));
    } catch (...) {
      // Still open from an earlier showing: it keeps its device, closed and restarted below.
    }
  }
  set.MMAudioPlayer1->SetDeviceID(ReadInt(QStringLiteral("out"), 0));
  CloseAllInputs();
  StartInputsOfMode(fmulti->rg_mode->ItemIndex());
}

void TfMain::Timer1Timer() {
  if (FrmInfo) FrmInfo->close();
  Timer1->stop();
  fSetLevel->rg_stereoClick();
  for (int n = 1; n <= kChannels; ++n) {
    Level(n)->SetPeakDelay(49);
    Level(n)->SetPeakSpeed(1);
    RestoreChannel(n);
    SilenceCount[n] = 0;
  }
  if (fSetLevel->chb_detect->isChecked()) TimerOff->start();
}

void TfMain::FormClose() {
  for (int n = 1; n <= kChannels; ++n) {
    const TMMLevel* level = Level(n);
    WriteInt(ChannelName("Level Delay", n), level->PeakDelay());
    WriteInt(ChannelName("Level Speed", n), level->PeakSpeed());
    WriteInt(ChannelName("Level Decay", n), level->Decay());
    WriteInt(ChannelName("Level NumPeaks", n), level->NumPeaks());
    WriteInt(ChannelName("Level Sensi", n), level->Sensitivy());
    WriteInt(ChannelName("Level Bar1Color", n), int(level->Bar1Color()));
    WriteInt(ChannelName("Level Bar2Color", n), int(level->Bar2Color()));
    WriteInt(ChannelName("Level Bar3Color", n), int(level->Bar3Color()));
    WriteInt(ChannelName("Level Point1", n), level->Point1());
    WriteInt(ChannelName("Level Point2", n), level->Point2());
    WriteInt(ChannelName("LedColor", n), int(Led(n)->LEDColor()));
  }
  const TfSetLevel& set = *fSetLevel;
  WriteInt(QStringLiteral("Point1"), set.ol_button->Value());
  WriteInt(QStringLiteral("rg Meter"), set.rg_Meter->ItemIndex());
  WriteInt(QStringLiteral("rg Integral ms"), set.rg_integral->ItemIndex());
  WriteInt(QStringLiteral("rg Interval"), set.sp_interval->Value());
  WriteInt(QStringLiteral("rg Integral"), set.rg_referenz->ItemIndex());
  WriteInt(QStringLiteral("rg Stereo"), set.rg_stereo->ItemIndex());
  WriteInt(QStringLiteral("Peaks nr"), set.sp_peaks->Value());
  WriteInt(QStringLiteral("PSpot Space"), set.MMLEDSpin5->Value());
  WriteBool(QStringLiteral("Leave Peaks"), set.CheckBox2->isChecked());
  WriteInt(QStringLiteral("rg Mode"), fmulti->rg_mode->ItemIndex());
  WriteInt(QStringLiteral("Window Left"), x());
  WriteInt(QStringLiteral("Window Top"), y());
  WriteInt(QStringLiteral("Window height"), height());
  WriteInt(QStringLiteral("Input Mode"), width());
  WriteInt(QStringLiteral("db_value"), set.spin_db->Value());
  WriteInt(QStringLiteral("sec_value"), set.spin_sec->Value());
  WriteInt(QStringLiteral("nEdit2"), set.nEdit2);
  WriteInt(QStringLiteral("db_value2"), set.spin_db2->Value());
  WriteBool(QStringLiteral("cb detect"), set.chb_detect->isChecked());
  WriteBool(QStringLiteral("Stay Top"), set.cb_top->isChecked());
  WriteString(QStringLiteral("arlam file"), set.MMAudioPlayer1->FileName());
  WriteInt(QStringLiteral("arlam sec"), set.sp_arlarm->Value());
}

void TfMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The show step runs when the window becomes visible, not when the window manager
  // merely restores it from an icon.
  if (!event->spontaneous()) FormShow();
  // The information window stays in front while the program comes up, whichever window
  // the window manager (if any) mapped last.
  if (FrmInfo && FrmInfo->isVisible()) FrmInfo->raise();
}

void TfMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

void TfMain::keyPressEvent(QKeyEvent* event) {
  FormKeyDown(event->key(), event->modifiers());
}

void TfMain::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
  // The main window ends the program even while secondary windows are still open.
  QCoreApplication::quit();
}

}  // namespace ostrel

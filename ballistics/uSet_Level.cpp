#include "ballistics/uSet_Level.h"

#include "app/Settings.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "ballistics/MeterStandards.h"
#include "metering/MMLevel.h"
#include "metering/MMLevelScale.h"
#include "platform/AudioPlayer.h"
#include "platform/FileDialog.h"
#include "platform/ImageControl.h"
#include "platform/MMColorButton.h"
#include "platform/MMLEDLabel.h"
#include "platform/MMLEDPanel.h"
#include "platform/MMLEDSpin.h"
#include "platform/MMNumberEdit.h"
#include "platform/MMSpinButton.h"
#include "platform/RadioGroup.h"
#include "platform/WindowStyle.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <array>
#include <functional>

namespace ostrel {

namespace {
constexpr int kClientWidth = 687;
constexpr int kClientHeight = 626;
constexpr int kMargin = 8;
constexpr int kPanelWidth = 57;
constexpr int kPanelHeight = 453;
constexpr int kSpinWidth = 58;
constexpr int kSpinHeight = 28;

template <class T>
T* Named(T* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

TMMLEDSpin* MakeSpin(QWidget* parent, const char* name, int lo, int hi, int value) {
  auto* s = Named(new TMMLEDSpin(parent), name);
  s->SetRange(lo, hi);
  s->SetValue(value);
  s->setFixedSize(kSpinWidth, kSpinHeight);
  return s;
}

TMMColorButton* MakeColorButton(QWidget* parent, const char* name, TColor value) {
  auto* b = Named(new TMMColorButton(parent), name);
  b->SetValue(value);
  b->setFixedHeight(24);
  return b;
}

TRadioGroup* MakeRadioGroup(QWidget* parent, const char* name, const QString& caption,
                            const QStringList& items, int columns, int index) {
  auto* g = Named(new TRadioGroup(caption, parent), name);
  g->SetItems(items);
  g->SetColumns(columns);
  g->SetItemIndex(index);
  return g;
}

QLabel* Caption(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setTextFormat(Qt::PlainText);
  return l;
}

// Captions in red mark the two switches that act beyond this window.
void MakeRed(QLabel* l) {
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, Qt::red);
  l->setPalette(pal);
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
}

// A status text: shown as written, in a sunken panel under its controls.
QLabel* StatusText(const QString& text, QWidget* parent) {
  auto* l = Caption(text, parent);
  l->setFrameShape(QFrame::Panel);
  l->setFrameShadow(QFrame::Sunken);
  l->setAlignment(Qt::AlignCenter);
  l->setContentsMargins(4, 1, 4, 1);
  return l;
}

QFrame* Framed(const char* name, QWidget* parent) {
  auto* f = Named(new QFrame(parent), name);
  f->setFrameShape(QFrame::StyledPanel);
  f->setFrameShadow(QFrame::Sunken);
  return f;
}

// A clickable caption: the label that heads the silence detector runs the box's handler.
class ClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> OnClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick)
      OnClick();
  }
};
}  // namespace

TfSetLevel::TfSetLevel(QWidget* parent) : QDialog(parent, kDialogOnTop) {
  SetUpFixedWindow(this, "fSetLevel", QStringLiteral("Level settings"), kClientWidth,
                   kClientHeight);

  BuildPreviewStrip();

  auto* right = Named(new QWidget(this), "MeterControls");
  const int rightLeft = kMargin + kPanelWidth + 6;
  right->setGeometry(rightLeft, 2, kClientWidth - rightLeft - kMargin + 2, kPanelHeight + kMargin);
  auto* column = new QVBoxLayout(right);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(6);
  column->addWidget(BuildMeterControls());
  column->addWidget(BuildColorColumns());
  column->addWidget(BuildSpins());
  column->addStretch(1);

  BuildSilenceControls();
  BuildButtons();

  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(1000);
  Timer1->setSingleShot(true);

  ConnectHandlers();
}

void TfSetLevel::BuildPreviewStrip() {
  Panel3 = Named(new QFrame(this), "Panel3");
  Panel3->setGeometry(kMargin, kMargin, kPanelWidth, kPanelHeight);
  Panel3->setAutoFillBackground(true);
  QPalette black = Panel3->palette();
  black.setColor(QPalette::Window, Qt::black);
  Panel3->setPalette(black);

  // The label docks at the bottom, the picture fills the right side above it.
  const int ledHeight = 28;
  LED8 = Named(new TMMLEDLABEL(Panel3), "LED8");
  LED8->setGeometry(0, kPanelHeight - ledHeight, kPanelWidth, ledHeight);
  LED8->SetCaption(QStringLiteral("Git"));
  LED8->SetLEDColor(clCream);
  LED8->SetInactiveColor(clBlack);

  ima_nordic1 = new TImageControl(QStringLiteral("ima_nordic1"), Panel3);
  ima_nordic1->setGeometry(kPanelWidth - 36, 0, 36, kPanelHeight - ledHeight);

  Level8 = Named(new TMMLevel(Panel3), "Level8");
  Level8->SetKind(lkVertical);
  Level8->SetBounds(1, 8, 18, 417);
  Level8->SetBar1Color(clLime);
  Level8->SetBar2Color(clYellow);
  Level8->SetInactive1Color(clBlack);
  Level8->SetInactive2Color(clBlack);
  Level8->SetInactive3Color(clBlack);
  Level8->SetPoint1(56);
  Level8->SetPoint2(73);
  Level8->SetSensitivy(-52);
  Level8->SetDecayMode(dmStepUp);
  Level8->SetDecay(7);
  Level8->SetSpotSpace(0);
  Level8->SetBitLength(b16Bit);
  Level8->SetChannel(chLeft);
  Level8->SetMode(mStereo);

  Scale_outfit = Named(new TMMLevelScale(Panel3), "Scale_outfit");
  Scale_outfit->SetKind(lkVertical);
  Scale_outfit->SetBounds(kPanelWidth - 36, 4, 35, 418);
  Scale_outfit->SetScaleTicks(26);
  Scale_outfit->SetPoint1(91);
  Scale_outfit->SetPoint2(92);
  Scale_outfit->SetSensitivy(-42);
  Scale_outfit->SetScale1Color(clSilver);
  Scale_outfit->SetScale2Color(clSilver);
  Scale_outfit->Scale()->SetTickCount(10);
  Scale_outfit->Scale()->SetOrigin(soInner);
  Scale_outfit->raise();
  Scale_outfit->hide();
}

QWidget* TfSetLevel::BuildMeterControls() {
  auto* box = new QWidget(this);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);

  QStringList standards;
  for (const MeterStandardRow& row : MeterStandards()) standards << QString::fromLatin1(row.item);
  rg_Meter = MakeRadioGroup(box, "rg_Meter", QStringLiteral(" Meter ballistics "), standards, 3, 1);
  rg_stereo = MakeRadioGroup(box, "rg_stereo", QStringLiteral(" Lelvel Display "),
                             {QStringLiteral("Mono  Mode"), QStringLiteral("Stereo Mode")}, 1, 0);

  auto* topBox = Named(new QGroupBox(box), "TopBox");
  auto* topColumn = new QVBoxLayout(topBox);
  topColumn->setContentsMargins(8, 6, 8, 6);
  lab_top = Named(Caption(QStringLiteral("Meter stay on top"), topBox), "lab_top");
  MakeRed(lab_top);
  cb_top = Named(new QCheckBox(QStringLiteral("Stay on Top"), topBox), "cb_top");
  cb_top->setChecked(true);
  topColumn->addWidget(lab_top);
  topColumn->addWidget(cb_top);

  rg_integral =
      MakeRadioGroup(box, "rg_integral", QStringLiteral(" Integration time "),
                     {QStringLiteral("none"), QStringLiteral("5 ms "), QStringLiteral("10 ms"),
                      QStringLiteral("15 ms"), QStringLiteral("20 ms"), QStringLiteral("300 ms")},
                     6, 0);
  rg_referenz = MakeRadioGroup(box, "rg_referenz", QStringLiteral(" Referenz Level "),
                               {QStringLiteral("0 dBFS"), QStringLiteral("- 18 dBFS"),
                                QStringLiteral("-20 dBFS"), QStringLiteral("-24 dBFS")},
                               4, 0);

  grid->addWidget(rg_Meter, 0, 0, 1, 2);
  grid->addWidget(rg_stereo, 0, 2);
  grid->addWidget(topBox, 0, 3);
  grid->addWidget(rg_integral, 1, 0, 1, 4);
  grid->addWidget(rg_referenz, 2, 0, 1, 4);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  return box;
}

QWidget* TfSetLevel::BuildColorColumns() {
  QFrame* frame = Framed("ColorFrame", this);
  auto* grid = new QGridLayout(frame);
  grid->setContentsMargins(8, 6, 8, 8);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(2);

  MMColorButton1 = MakeColorButton(frame, "MMColorButton1", clRed);
  MMColorButton2 = MakeColorButton(frame, "MMColorButton2", clYellow);
  MMColorButton3 = MakeColorButton(frame, "MMColorButton3", clLime);
  MMColorButton7 = MakeColorButton(frame, "MMColorButton7", clRed);
  MMColorButton6 = MakeColorButton(frame, "MMColorButton6", clYellow);
  MMColorButton5 = MakeColorButton(frame, "MMColorButton5", clLime);
  MMColorButton10 = MakeColorButton(frame, "MMColorButton10", clRed);
  MMColorButton9 = MakeColorButton(frame, "MMColorButton9", clYellow);
  MMColorButton8 = MakeColorButton(frame, "MMColorButton8", clLime);
  MMColorButton13 = MakeColorButton(frame, "MMColorButton13", clRed);
  MMColorButton12 = MakeColorButton(frame, "MMColorButton12", clYellow);
  MMColorButton11 = MakeColorButton(frame, "MMColorButton11", clLime);

  struct Column {
    const char* header;
    std::array<TMMColorButton*, 3> topToBottom;
  };
  const Column columns[] = {
      {"Levels 1-4", {MMColorButton1, MMColorButton2, MMColorButton3}},
      {"Levels 5-8", {MMColorButton7, MMColorButton6, MMColorButton5}},
      {"Levels 9-12", {MMColorButton10, MMColorButton9, MMColorButton8}},
      {"Levels 13-16", {MMColorButton13, MMColorButton12, MMColorButton11}},
  };
  const QString rowCaptions[] = {QStringLiteral("Bar Color Top"),
                                 QStringLiteral("Bar Color Middle"),
                                 QStringLiteral("Bar Color Button")};
  for (int c = 0; c < 4; ++c) {
    QLabel* header = Caption(QString::fromLatin1(columns[c].header), frame);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    grid->addWidget(header, 0, c);
    for (int r = 0; r < 3; ++r) {
      grid->addWidget(Caption(rowCaptions[r], frame), 1 + 2 * r, c);
      grid->addWidget(columns[c].topToBottom[r], 2 + 2 * r, c);
    }
    grid->setColumnStretch(c, 1);
  }
  return frame;
}

QWidget* TfSetLevel::BuildSpins() {
  QFrame* frame = Framed("SpinFrame", this);
  auto* grid = new QGridLayout(frame);
  grid->setContentsMargins(8, 6, 8, 8);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(3);

  ol_top = MakeSpin(frame, "ol_top", 1, 100, 84);
  ol_button = MakeSpin(frame, "ol_button", 1, 100, 58);
  sp_peaks = MakeSpin(frame, "sp_peaks", 0, 5, 3);
  MMLEDSpin5 = MakeSpin(frame, "MMLEDSpin5", 0, 2, 1);
  MMLEDSpin4 = MakeSpin(frame, "MMLEDSpin4", 5, 16, 12);
  MMColorButton4 = MakeColorButton(frame, "MMColorButton4", clCream);
  MMColorButton4->setFixedSize(96, kSpinHeight);
  CheckBox2 = Named(new QCheckBox(QStringLiteral("Leave max Peak"), frame), "CheckBox2");
  CheckBox2->setChecked(true);

  auto* peaks = new QHBoxLayout;
  peaks->setSpacing(6);
  peaks->addWidget(sp_peaks);
  peaks->addWidget(MMLEDSpin5);

  grid->addWidget(Caption(QStringLiteral("OL Level Top"), frame), 0, 0);
  grid->addWidget(ol_top, 1, 0);
  grid->addWidget(Caption(QStringLiteral("OL Level Button"), frame), 0, 1);
  grid->addWidget(ol_button, 1, 1);
  grid->addWidget(StatusText(QStringLiteral("Nr of Peak  && Spot Space"), frame), 0, 2);
  grid->addLayout(peaks, 1, 2, Qt::AlignHCenter);
  grid->addWidget(StatusText(QStringLiteral("Decay ( speed )"), frame), 0, 3);
  grid->addWidget(MMLEDSpin4, 1, 3, Qt::AlignHCenter);
  grid->addWidget(Caption(QStringLiteral("Color of Lebels"), frame), 0, 4);
  grid->addWidget(MMColorButton4, 1, 4);
  grid->addWidget(CheckBox2, 2, 0, 1, 5);
  for (int c = 0; c < 5; ++c) grid->setColumnStretch(c, 1);
  return frame;
}

void TfSetLevel::BuildSilenceControls() {
  const int top = kMargin + kPanelHeight + 8;
  SilenceFrame = Framed("SilenceFrame", this);
  SilenceFrame->setGeometry(kMargin, top, kClientWidth - 2 * kMargin, 110);
  auto* grid = new QGridLayout(SilenceFrame);
  grid->setContentsMargins(10, 6, 10, 8);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(6);

  chb_detect = Named(new QCheckBox(SilenceFrame), "chb_detect");
  auto* detectLabel =
      Named(new ClickLabel(QStringLiteral("Silence Detector"), SilenceFrame), "lab_detect");
  lab_detect = detectLabel;
  MakeRed(lab_detect);
  lab_detect->setCursor(Qt::PointingHandCursor);
  detectLabel->OnClick = [this] { chb_detectClick(); };
  auto* header = new QHBoxLayout;
  header->setSpacing(4);
  header->addWidget(chb_detect);
  header->addWidget(lab_detect);
  header->addStretch(1);

  nEdit = Named(new TMMNumberEdit(SilenceFrame), "nEdit");
  nEdit->SetRange(-99, -1);
  nEdit->SetValue(-40);
  nEdit->setFixedSize(44, kSpinHeight);
  spin_db2 = Named(new TMMSpinButton(SilenceFrame), "spin_db2");
  spin_db2->SetRange(-99, -1);
  spin_db2->SetValue(-40);
  spin_db2->setFixedSize(18, kSpinHeight);
  auto* threshold = new QHBoxLayout;
  threshold->setSpacing(1);
  threshold->addWidget(nEdit);
  threshold->addWidget(spin_db2);

  // The threshold as an amplitude: kept in step with nEdit by the silence handlers and
  // read by the main window's check; never shown. -40 dBFS is amplitude 351.
  spin_db = Named(new TMMSpinButton(SilenceFrame), "spin_db");
  spin_db->SetRange(0, 32768);
  spin_db->SetValue(351);
  spin_db->hide();
  led_db = Named(new TMMLEDPanel(SilenceFrame), "led_db");
  led_db->SetRange(-100, 32768);
  led_db->SetValue(351);
  led_db->hide();

  spin_sec = MakeSpin(SilenceFrame, "spin_sec", 1, 32768, 5);
  spin_sec->setFixedWidth(76);
  sp_interval = MakeSpin(SilenceFrame, "sp_interval", 1, 999, 10);
  sp_arlarm = MakeSpin(SilenceFrame, "sp_arlarm", 1, 999, 60);
  btn_load = Named(new QPushButton(QStringLiteral("Load Audio File"), SilenceFrame), "btn_load");
  btn_load->setAutoDefault(false);
  lab_file = Named(Caption(QStringLiteral("c:\\"), SilenceFrame), "lab_file");
  lab_file->setFrameShape(QFrame::Panel);
  lab_file->setFrameShadow(QFrame::Sunken);
  lab_file->setMinimumWidth(140);
  cb_arlarm = Named(new QCheckBox(QStringLiteral("Play Sound File"), SilenceFrame), "cb_arlarm");

  t_reset = Named(new QTimer(this), "t_reset");
  t_reset->setInterval(10000);
  MMWaveOpenDialog1 = Named(new TFileDialog(TFileDialog::Open, this), "MMWaveOpenDialog1");
  MMWaveOpenDialog1->Title = QStringLiteral("Open Wave File");
  MMWaveOpenDialog1->Filter = QStringLiteral("Wave Files(*.wav)|*.wav");
  MMWaveOpenDialog1->Owner = this;
  MMAudioPlayer1 = Named(new TMMAudioPlayer(this), "MMAudioPlayer1");

  auto spinWithCaption = [&](QWidget* control, const QString& caption) {
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(control);
    row->addWidget(Caption(caption, SilenceFrame));
    row->addStretch(1);
    return row;
  };
  auto* thresholdRow = new QHBoxLayout;
  thresholdRow->setSpacing(6);
  thresholdRow->addLayout(threshold);
  thresholdRow->addWidget(Caption(QStringLiteral("Silence Detector dBFS"), SilenceFrame));
  thresholdRow->addStretch(1);

  grid->addLayout(header, 0, 0, 1, 3);
  grid->addLayout(thresholdRow, 1, 0);
  grid->addLayout(spinWithCaption(spin_sec, QStringLiteral("Silence in x sec")), 1, 1);
  grid->addLayout(spinWithCaption(sp_interval, QStringLiteral("Interval in x sec")), 1, 2);
  auto* fileRow = new QHBoxLayout;
  fileRow->setSpacing(6);
  fileRow->addWidget(btn_load);
  fileRow->addWidget(lab_file, 1);
  grid->addLayout(fileRow, 2, 0);
  grid->addWidget(cb_arlarm, 2, 1);
  grid->addLayout(spinWithCaption(sp_arlarm, QStringLiteral("Repet in x sec")), 2, 2);
  for (int c = 0; c < 3; ++c) grid->setColumnStretch(c, 1);
}

void TfSetLevel::BuildButtons() {
  Button2 = Named(new QPushButton(QStringLiteral("Preview"), this), "Button2");
  btn_save = Named(new QPushButton(QStringLiteral("Save"), this), "btn_save");
  Button1 = Named(new QPushButton(QStringLiteral("Save && Close"), this), "Button1");
  const int width = 110, height = 28, gap = 8;
  const int top = kClientHeight - kMargin - height;
  int left = kClientWidth - kMargin - 3 * width - 2 * gap;
  for (QPushButton* b : {Button2, btn_save, Button1}) {
    b->setAutoDefault(false);
    b->setGeometry(left, top, width, height);
    left += width + gap;
  }
}

void TfSetLevel::ConnectHandlers() {
  // Wired after the design values are in place: building the window runs no handler.
  rg_Meter->OnClick = [this] { rg_MeterClick(); };
  rg_integral->OnClick = [this] { rg_integralClick(); };
  rg_referenz->OnClick = [this] { rg_referenzClick(); };
  rg_stereo->OnClick = [this] { rg_stereoClick(); };
  connect(CheckBox2, &QCheckBox::toggled, this, [this] { CheckBox2Click(); });
  connect(cb_top, &QCheckBox::toggled, this, [this] { cb_topClick(); });
  sp_peaks->OnChange = [this] { sp_peaksChange(); };
  MMLEDSpin4->OnChange = [this] { MMLEDSpin4Change(); };
  MMLEDSpin5->OnChange = [this] { MMLEDSpin5Change(); };
  ol_top->OnChange = [this] { ol_topChange(); };
  ol_button->OnChange = [this] { ol_buttonChange(); };

  for (TMMColorButton* b : {MMColorButton1, MMColorButton5, MMColorButton8, MMColorButton11})
    b->OnChange = [this] { MMColorButton1Change(); };
  for (TMMColorButton* b : {MMColorButton2, MMColorButton6, MMColorButton9, MMColorButton12})
    b->OnChange = [this] { MMColorButton2Change(); };
  for (TMMColorButton* b : {MMColorButton3, MMColorButton7, MMColorButton10, MMColorButton13})
    b->OnChange = [this] { MMColorButton3Change(); };
  MMColorButton4->OnChange = [this] { MMColorButton4Change(); };

  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(btn_save, &QPushButton::clicked, this, [this] { btn_saveClick(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

  spin_db2->OnChange = [this] { spin_dbChange(); };
  spin_db->OnChange = [this] { spin_dbChange(); };
  connect(chb_detect, &QCheckBox::toggled, this, [this] { chb_detectClick(); });
  sp_interval->OnChange = [this] { sp_intervalChange(); };
  sp_arlarm->OnChange = [this] { sp_arlarmChange(); };
  connect(btn_load, &QPushButton::clicked, this, [this] { btn_loadClick(); });
  connect(t_reset, &QTimer::timeout, this, [this] { t_resetTimer(); });
  MMAudioPlayer1->OnStop = [this] { MMAudioPlayer1Stop(); };
}

// ---- Window events -----------------------------------------------------------------------

void TfSetLevel::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window manager's own re-show (after minimising) is not a showing by the program.
  if (!event->spontaneous()) FormShow();
}

void TfSetLevel::closeEvent(QCloseEvent* event) {
  FormClose();
  QDialog::closeEvent(event);
}

void TfSetLevel::keyPressEvent(QKeyEvent* event) {
  // Escape closes like the title bar's button, so the position is kept as well.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

// ---- Window handlers ---------------------------------------------------------------------

void TfSetLevel::FormShow() {
  move(ReadInt(QStringLiteral("Window Left2"), x()), ReadInt(QStringLiteral("Window Top2"), y()));
  Level8->SetValue(100);  // a full bar shows all three zones
  Scale_outfit->hide();

  if (fMain) {
    // The values are all read before any control is set: a control that changes runs its
    // handler, and the "Preview" behind a changed point rewrites every meter, Level1 too.
    // Read first, they spread exactly Level1's values (and each column's representative's).
    TMMLevel* first = fMain->Level(1);
    const int decay = first->Decay();
    const int peaks = first->NumPeaks();
    const int point1 = first->Point1();
    const int point2 = first->Point2();
    const TColor labelColor = fMain->Led(1)->LEDColor();
    struct Column {
      int channel;
      std::array<TMMColorButton*, 3> bottomToTop;
      std::array<TColor, 3> colors{};
    };
    Column columns[] = {
        {1, {MMColorButton3, MMColorButton2, MMColorButton1}},
        {6, {MMColorButton5, MMColorButton6, MMColorButton7}},
        {11, {MMColorButton8, MMColorButton9, MMColorButton10}},
        {16, {MMColorButton11, MMColorButton12, MMColorButton13}},
    };
    for (Column& c : columns) {
      TMMLevel* level = fMain->Level(c.channel);
      c.colors = {level->Bar1Color(), level->Bar2Color(), level->Bar3Color()};
    }

    MMLEDSpin4->SetValue(decay);
    sp_peaks->SetValue(peaks);
    for (const Column& c : columns)
      for (int i = 0; i < 3; ++i) c.bottomToTop[i]->SetValue(c.colors[i]);
    // The label colour goes in before the points, so that a "Preview" they run spreads
    // LED1's colour rather than the button's previous one.
    MMColorButton4->SetValue(labelColor);
    ol_button->SetValue(point1);
    ol_top->SetValue(point2);
  }
  // Enabling a running timer does not restart its count.
  if (!Timer1->isActive()) Timer1->start();
}

void TfSetLevel::FormClose() {
  WriteInt(QStringLiteral("Window Left2"), x());
  WriteInt(QStringLiteral("Window Top2"), y());
}

void TfSetLevel::Timer1Timer() {
  for (TMMLEDSpin* spin :
       {ol_top, ol_button, sp_interval, sp_peaks, MMLEDSpin4, spin_sec, sp_arlarm, MMLEDSpin5})
    spin->SetColor(0);
  led_db->SetColor(0);
  if (rg_Meter->ItemIndex() == 4) Scale_outfit->show();
  Timer1->stop();
}

// The preview meter always shows the column "Levels 1-4"; the other columns' buttons only
// refresh it from that column.
void TfSetLevel::MMColorButton1Change() {
  Level8->SetBar3Color(MMColorButton1->Value());
}

void TfSetLevel::MMColorButton2Change() {
  Level8->SetBar2Color(MMColorButton2->Value());
}

void TfSetLevel::MMColorButton3Change() {
  Level8->SetBar1Color(MMColorButton3->Value());
}

void TfSetLevel::MMColorButton4Change() {
  LED8->SetLEDColor(MMColorButton4->Value());
}

void TfSetLevel::Button1Click() {
  // Applied before storing, so the stored points are the ones in effect.
  Button2Click();
  btn_saveClick();
  close();
}

void TfSetLevel::cb_topClick() {
  if (!fMain) return;
  // Qt changes a window's stacking hint only while it is hidden; showing it again runs
  // the main window's show step.
  fMain->hide();
  fMain->setWindowFlag(Qt::WindowStaysOnTopHint, cb_top->isChecked());
  fMain->show();
}

// ---- Ballistics handlers ---------------------------------------------------------------

void TfSetLevel::rg_MeterClick() {
  Scale_outfit->hide();
  ima_nordic1->show();
  rg_referenz->setEnabled(true);

  const MeterStandardRow* row = MeterStandardAt(rg_Meter->ItemIndex());
  if (fMain) {
    // The layout sweep depends on the standard applied last: BBC and EBU leave the scale
    // controls in a layout that only the long sweep puts back.
    const bool longSweep = fMain->Level(1)->MeterStandard > 1;
    const int height = fMain->Led(1)->y() - 15;
    for (int n = 1; n <= TfMain::kChannels; ++n) {
      TMMLevel* level = fMain->Level(n);
      if (!longSweep) {
        level->SetBounds(level->x(), 11, level->width(), level->height());
        continue;
      }
      level->SetBounds(level->x(), 11, level->width(), height);
      TMMLevelScale* scale = fMain->LevelScale(n);
      scale->SetBounds(scale->x(), 12, scale->width(), height);
      TImageControl* picture = fMain->ImaNordic(n);
      picture->setGeometry(picture->x(), picture->y(), picture->width(), height);
      scale->hide();
      picture->show();
    }
  }

  if (row) {
    ol_top->SetValue(ReadInt(QString::fromLatin1(row->topName), row->topDefault));
    ol_button->SetValue(ReadInt(QString::fromLatin1(row->bottomName), row->bottomDefault));
    if (fMain) {
      for (int n = 1; n <= TfMain::kChannels; ++n) {
        TMMLevel* level = fMain->Level(n);
        level->MeterStandard = row->standard;
        level->SetSensitivy(row->sensitivity);
        level->SetPoint2(ol_top->Value());
        level->SetPoint1(ol_button->Value());
      }
      for (int n = 1; n <= TfMain::kChannels; ++n) row->draw(*fMain->ImaNordic(n));
    }
    if (rg_Meter->ItemIndex() == 4) {
      ima_nordic1->show();
      Scale_outfit->hide();
    }
    row->draw(*ima_nordic1);
    if (fMain) fMain->Panel1->setText(QString::fromLatin1(row->caption));
  }

  spin_dbChange();
  ol_topChange();
  ol_buttonChange();
}

void TfSetLevel::rg_integralClick() {
  if (!fMain) return;
  for (int n = 1; n <= TfMain::kChannels; ++n) fMain->Level(n)->Integrate = true;
  // Lengths count meter readings; "300 ms" is 299 of them.
  static constexpr std::uint16_t kLengths[] = {5, 10, 15, 20, 299};
  const int index = rg_integral->ItemIndex();
  for (int n = 1; n <= TfMain::kChannels; ++n) {
    TMMLevel* level = fMain->Level(n);
    if (index == 0) {
      level->Integrate = false;  // the length stays for the next choice
    } else if (index >= 1 && index <= 5) {
      level->IntegrationLength = kLengths[index - 1];
    }
  }
}

void TfSetLevel::rg_referenzClick() {
  if (fMain) {
    for (int n = 1; n <= TfMain::kChannels; ++n) {
      TMMLevel* level = fMain->Level(n);
      level->Reference18 = false;
      level->Reference20 = false;
      level->Reference24 = false;
    }
    const int index = rg_referenz->ItemIndex();
    for (int n = 1; n <= TfMain::kChannels; ++n) {
      TMMLevel* level = fMain->Level(n);
      if (index == 1) level->Reference18 = true;
      if (index == 2) level->Reference20 = true;
      if (index == 3) level->Reference24 = true;
    }
  }
  rg_MeterClick();
}

void TfSetLevel::rg_stereoClick() {
  if (!fMain) return;
  const int index = rg_stereo->ItemIndex();
  if (index != 0 && index != 1) return;
  // Only the even channels: in stereo mode each pair shares the scale beside its odd one.
  const bool mono = index == 0;
  const bool pictureRule = rg_Meter->ItemIndex() <= 3;  // "Digital PPM" keeps its pictures
  for (int n = 2; n <= TfMain::kChannels; n += 2) {
    if (mono) {
      if (pictureRule) fMain->ImaNordic(n)->show();
      fMain->LevelScale(n)->show();
    } else {
      fMain->ImaNordic(n)->hide();
      fMain->LevelScale(n)->hide();
    }
  }
}

void TfSetLevel::CheckBox2Click() {
  if (!fMain) return;
  const bool leave = CheckBox2->isChecked();
  for (int n = 1; n <= TfMain::kChannels; ++n) fMain->Level(n)->LeaveMaxPeak = leave;
}

void TfSetLevel::sp_peaksChange() {
  if (!fMain) return;
  for (int n = 1; n <= TfMain::kChannels; ++n) fMain->Level(n)->SetNumPeaks(sp_peaks->Value());
}

void TfSetLevel::MMLEDSpin4Change() {
  if (!fMain) return;
  for (int n = 1; n <= TfMain::kChannels; ++n) fMain->Level(n)->SetDecay(MMLEDSpin4->Value());
}

void TfSetLevel::MMLEDSpin5Change() {
  if (!fMain) return;
  for (int n = 1; n <= TfMain::kChannels; ++n) fMain->Level(n)->SetSpotSpace(MMLEDSpin5->Value());
}

void TfSetLevel::ol_topChange() {
  Level8->SetPoint2(ol_top->Value());
  Level8->SetValue(100);
  Button2Click();
}

void TfSetLevel::ol_buttonChange() {
  Level8->SetPoint1(ol_button->Value());
  Level8->SetValue(100);
  Button2Click();
}

void TfSetLevel::Button2Click() {
  if (!fMain) return;
  // Bottom, middle and top colour of each group of four meters; channels 17-24 have no
  // buttons of their own and repeat groups 1-4 and 5-8.
  const std::array<TMMColorButton*, 3> groups[4] = {
      {MMColorButton3, MMColorButton2, MMColorButton1},
      {MMColorButton5, MMColorButton6, MMColorButton7},
      {MMColorButton8, MMColorButton9, MMColorButton10},
      {MMColorButton11, MMColorButton12, MMColorButton13},
  };
  for (int n = 1; n <= TfMain::kChannels; ++n) {
    TMMLevel* level = fMain->Level(n);
    const auto& group = groups[((n - 1) % 16) / 4];
    level->SetDecay(MMLEDSpin4->Value());
    level->SetNumPeaks(sp_peaks->Value());
    level->SetBar1Color(group[0]->Value());
    level->SetBar2Color(group[1]->Value());
    level->SetBar3Color(group[2]->Value());
    level->SetPoint1(ol_button->Value());
    level->SetPoint2(ol_top->Value());
    fMain->Led(n)->SetLEDColor(MMColorButton4->Value());
  }
}

void TfSetLevel::btn_saveClick() {
  const MeterStandardRow* row = MeterStandardAt(rg_Meter->ItemIndex());
  if (!row) return;
  WriteInt(QString::fromLatin1(row->saveTopName), ol_top->Value());
  WriteInt(QString::fromLatin1(row->saveBottomName), ol_button->Value());
}

}  // namespace ostrel

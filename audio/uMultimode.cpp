#include "audio/uMultimode.h"

#include "app/Settings.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "audio/MMWavIn.h"
#include "platform/RadioGroup.h"
#include "platform/WaveOutDevices.h"
#include "platform/WindowStyle.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostrel {

namespace {
constexpr int kClientWidth = 808, kClientHeight = 500;

QString StoredDevice(int k) {
  return QStringLiteral("multi_") + QString::number(k);
}

// Name of capture device `device` as the platform reports it now; empty when the number is
// past the current device count or the query fails.
QString CaptureName(TMMWaveIn& wave, int device) {
  TWaveInTable* platform = wave.Platform();
  if (!platform) return {};
  if (device >= 0 && device >= int(platform->waveInGetNumDevs())) return {};
  TWaveInCaps caps{};
  if (platform->waveInGetDevCaps(device, &caps, sizeof caps) != MMSYSERR_NOERROR) return {};
  return QString::fromLocal8Bit(caps.szPname, int(strnlen(caps.szPname, sizeof caps.szPname)));
}

// Selects entry stored + 1; a stored number past the list selects nothing.
void SelectStored(QComboBox* list, int stored) {
  const int entry = stored + 1;
  list->setCurrentIndex(entry >= 0 && entry < list->count() ? entry : -1);
}

QComboBox* DeviceGroup(QWidget* parent, const QString& caption, const QString& label,
                       const QRect& geometry) {
  auto* group = new QGroupBox(caption, parent);
  group->setGeometry(geometry);
  auto* column = new QVBoxLayout(group);
  column->setContentsMargins(8, 2, 8, 6);
  column->setSpacing(3);
  column->addWidget(new QLabel(label, group));
  auto* list = new QComboBox(group);
  list->setEditable(false);
  column->addWidget(list);
  return list;
}
}  // namespace

Tfmulti::Tfmulti(QWidget* parent) : QDialog(parent, kDialogOnTop) {
  SetUpFixedWindow(this, "fmulti", QStringLiteral("Multi Mode Input Setup"), kClientWidth,
                   kClientHeight);

  rg_mode = new TRadioGroup(QStringLiteral(" Select the input mode "), this);
  rg_mode->setObjectName(QStringLiteral("rg_mode"));
  rg_mode->SetItems({"2 Channels", "4 Channels", "8 Channels", "16 Channels", "24 Channels"});
  rg_mode->SetColumns(5);
  rg_mode->SetItemIndex(2);
  rg_mode->setGeometry(10, 8, kClientWidth - 20, 46);
  rg_mode->OnClick = [this] { rg_modeClick(); };

  // Pairs 1-4 in the left column, 5-8 in the middle, 9-12 on the right.
  constexpr int kColumnWidth = 256, kRowHeight = 76, kTop = 62;
  for (int k = 1; k <= 12; ++k) {
    const int column = (k - 1) / 4, row = (k - 1) % 4;
    const QString caption = QStringLiteral(" Input Device %1&&%2 ").arg(2 * k - 1).arg(2 * k);
    cb[k] = DeviceGroup(this, caption, QStringLiteral("Select audio device to use for input "),
                        QRect(10 + column * (kColumnWidth + 8), kTop + row * kRowHeight,
                              kColumnWidth, kRowHeight - 6));
    cb[k]->setObjectName(QStringLiteral("cb_") + QString::number(k));
    cb[k]->setEnabled(k <= 8);
  }

  rg_sample = new TRadioGroup(QStringLiteral("  Samplerate  for all devices   "), this);
  rg_sample->setObjectName(QStringLiteral("rg_sample"));
  rg_sample->SetItems({"44100 Hz", "48000 Hz"});
  rg_sample->SetColumns(2);
  rg_sample->SetItemIndex(0);
  rg_sample->setGeometry(10, kTop + 4 * kRowHeight + 4, 2 * kColumnWidth + 8, 46);
  rg_sample->OnClick = [this] { rg_sampleClick(); };

  cb_out = DeviceGroup(this, QStringLiteral(" Output Device "),
                       QStringLiteral("Select audio device to use for output"),
                       QRect(10, kTop + 4 * kRowHeight + 56, 2 * kColumnWidth + 8, kRowHeight - 6));
  cb_out->setObjectName(QStringLiteral("cb_out"));

  btnOk = new QPushButton(QStringLiteral("OK"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setDefault(true);
  btnOk->setGeometry(kClientWidth - 200, kClientHeight - 42, 90, 30);
  connect(btnOk, &QPushButton::clicked, this, &Tfmulti::btnOkClick);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(kClientWidth - 100, kClientHeight - 42, 90, 30);
  connect(btnCancel, &QPushButton::clicked, this, &Tfmulti::btnCancelClick);

  OutputCount = WaveOutDevices::Count();
}

void Tfmulti::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void Tfmulti::FormShow() {
  for (int k = 1; k <= 12; ++k) cb[k]->clear();
  cb_out->clear();
  if (!fMain) return;
  TMMWaveIn& first = *fMain->MMWaveIn[1];
  const int devices = first.NumDevs();  // counted when the input was created
  if (devices <= 0) return;

  const QString defaultName = CaptureName(first, MapperId);
  for (int k = 1; k <= 12; ++k) cb[k]->addItem(defaultName);
  cb_out->addItem(WaveOutDevices::Name(-1));
  for (int j = 0; j < OutputCount; ++j) cb_out->addItem(WaveOutDevices::Name(j));
  for (int j = 0; j < devices; ++j) {
    const QString name = CaptureName(first, j);  // asked afresh: devices come and go
    for (int k = 1; k <= 12; ++k) cb[k]->addItem(name);
  }
  for (int k = 1; k <= 12; ++k) SelectStored(cb[k], ReadInt(StoredDevice(k), 0));
  SelectStored(cb_out, ReadInt(QStringLiteral("out"), 0));
}

void Tfmulti::rg_modeClick() {
  const int index = rg_mode->ItemIndex();
  if (index < 0 || index > 4) return;
  for (int k = 2; k <= 12; ++k) cb[k]->setEnabled(k <= kModeInputs[index]);
  if (!fMain) return;
  fMain->setMaximumWidth(kModeWidths[index]);
  fMain->resize(kModeWidths[index], fMain->height());
  fMain->MarkChannelMode(index);
  fMain->ChannelCount = kModeChannels[index];
}

void Tfmulti::rg_sampleClick() {
  static constexpr int kRates[2] = {44100, 48000};
  const int index = rg_sample->ItemIndex();
  if (index < 0 || index > 1 || !fMain) return;
  for (int k = 1; k <= 12; ++k) {
    try {
      fMain->MMWaveIn[k]->SetSampleRate(kRates[index]);
    } catch (...) {
      // An input still open keeps its rate until it is closed and started again.
    }
  }
}

void Tfmulti::btnOkClick() {
  for (int k = 1; k <= 12; ++k) WriteInt(StoredDevice(k), cb[k]->currentIndex() - 1);
  WriteInt(QStringLiteral("out"), cb_out->currentIndex() - 1);
  WriteInt(QStringLiteral("Samplerate"), rg_sample->ItemIndex());
  if (fMain) {
    for (int k = 1; k <= 12; ++k) {
      try {
        fMain->MMWaveIn[k]->SetDeviceID(cb[k]->currentIndex() - 1);
      } catch (...) {
        // An input that is still open keeps its device; the stored choice applies at the
        // next start. The other inputs and the confirmation go ahead.
      }
    }
  }
  WriteBool(QStringLiteral("is Sound"), true);
  accept();
}

void Tfmulti::btnCancelClick() {
  reject();
}

}  // namespace ostrel

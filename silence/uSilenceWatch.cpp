#include "silence/uSilenceWatch.h"

#include <QCheckBox>
#include <QTimer>

#include "app/Settings.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "audio/uMultimode.h"
#include "ballistics/ScaleImages.h"
#include "ballistics/uSet_Level.h"
#include "metering/MMLevel.h"
#include "platform/AudioPlayer.h"
#include "platform/ImageControl.h"
#include "platform/MMLEDLabel.h"
#include "platform/MMLEDPanel.h"
#include "platform/MMLEDSpin.h"
#include "platform/RadioGroup.h"
#include "silence/SilenceLogLine.h"
#include "silence/uLogFile.h"
#include "silence/uSilenceControls.h"

namespace ostrel {

SilenceWatch::SilenceWatch(TfMain& main) : QObject(&main), main_(main) {
  setObjectName(QStringLiteral("SilenceWatch"));
}

int SilenceWatch::ShownChannels() const {
  if (!fmulti) return 0;
  const int index = fmulti->rg_mode->ItemIndex();
  return index >= 0 && index <= 4 ? Tfmulti::kModeChannels[index] : 0;
}

void SilenceWatch::TimerOffTimer() {
  if (!fSetLevel) return;
  const int threshold = fSetLevel->led_db->Value();
  for (int n = 1; n <= ShownChannels(); ++n) {
    QTimer* timer = main_.TimerStart(n);
    if (main_.Level(n)->BlockPeak() < threshold) {
      // A running timer keeps its count: the channel is counted once per check.
      if (!timer->isActive()) timer->start();
    } else {
      timer->stop();
      main_.SilenceCount[n] = 0;
      main_.Led(n)->show();
      main_.Led(n)->SetInactiveColor(clBlack);
    }
  }
}

void SilenceWatch::TimerStartTimer(int n) {
  if (n < 1 || n > TfMain::kChannels || !fSetLevel) return;
  TMMLEDLABEL* led = main_.Led(n);
  QTimer* timer = main_.TimerStart(n);
  ++main_.SilenceCount[n];
  if (main_.SilenceCount[n] <= fSetLevel->spin_sec->Value()) {
    main_.QuietSeen[n] = true;
    led->SetInactiveColor(clBlack);
    // TimerOn is shared: this can cut short another channel's flash.
    main_.TimerOn->stop();
    timer->stop();
    return;
  }

  led->SetInactiveColor(clRed);
  led->hide();
  if (!main_.TimerOn->isActive()) main_.TimerOn->start();
  timer->stop();
  PaintScaleAlarm(*main_.ImaNordic(n));
  // The interval the user chose last time comes back with every alarm.
  fSetLevel->sp_interval->SetValue(
      ReadInt(QStringLiteral("rg Interval"), fSetLevel->sp_interval->Value()));
  SilenceControls::sp_intervalChange(*fSetLevel);
  if (fSetLevel->cb_arlarm->isChecked()) fSetLevel->MMAudioPlayer1->Play();
  if (main_.ChannelCount >= SilenceLogThreshold(n) && main_.QuietSeen[n] && main_.LogActive &&
      fLogFile) {
    fLogFile->AddLine(SilenceLogLine(n, led->Caption(), main_.Level(n)->BlockPeak(), Now()));
  }
}

void SilenceWatch::TimerOnTimer() {
  main_.TimerOn->stop();
  for (int n = 1; n <= ShownChannels(); ++n) main_.Led(n)->show();
  if (!fSetLevel) return;
  fSetLevel->rg_MeterClick();  // redraws every scale picture, which removes the red fill
  SilenceControls::chb_detectClick(*fSetLevel);
}

}  // namespace ostrel

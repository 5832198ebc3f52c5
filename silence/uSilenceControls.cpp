#include "silence/uSilenceControls.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "ballistics/uSet_Level.h"
#include "platform/AudioPlayer.h"
#include "platform/FileDialog.h"
#include "platform/MMLEDPanel.h"
#include "platform/MMLEDSpin.h"
#include "platform/MMNumberEdit.h"
#include "platform/MMSpinButton.h"
#include "silence/SilenceThreshold.h"

namespace ostrel::SilenceControls {

void spin_dbChange(TfSetLevel& w) {
  w.nEdit->SetValue(w.spin_db2->Value());
  // Setting spin_db runs this handler once more; by then nothing changes any more.
  w.spin_db->SetValue(SilenceThresholdAmplitude(w.nEdit->Value()));
  w.led_db->SetValue(w.spin_db->Value());
}

void chb_detectClick(TfSetLevel& w) {
  if (!fMain) return;
  if (!w.chb_detect->isChecked())
    fMain->TimerOff->stop();
  else if (!fMain->TimerOff->isActive())  // switching on an enabled check keeps its phase
    fMain->TimerOff->start();
}

void sp_intervalChange(TfSetLevel& w) {
  if (fMain) fMain->TimerOff->setInterval(w.sp_interval->Value() * 1000);
}

void sp_arlarmChange(TfSetLevel& w) {
  w.t_reset->setInterval(w.sp_arlarm->Value() * 1000);
}

void btn_loadClick(TfSetLevel& w) {
  if (!w.MMWaveOpenDialog1->Execute()) return;
  w.MMAudioPlayer1->SetFileName(w.MMWaveOpenDialog1->FileName);
  w.lab_file->setText(QFileInfo(w.MMAudioPlayer1->FileName()).fileName());
}

void MMAudioPlayer1Stop(TfSetLevel& w) {
  w.cb_arlarm->setChecked(false);
  if (!w.t_reset->isActive()) w.t_reset->start();
}

void t_resetTimer(TfSetLevel& w) {
  w.cb_arlarm->setChecked(true);
  w.t_reset->stop();
}

}  // namespace ostrel::SilenceControls

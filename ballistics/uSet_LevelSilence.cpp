// The silence detector's handlers on the level settings window. The window owns the
// controls; what the handlers do lives with the silence detector.
#include "ballistics/uSet_Level.h"
#include "silence/uSilenceControls.h"

namespace ostrel {

void TfSetLevel::spin_dbChange() {
  SilenceControls::spin_dbChange(*this);
}

void TfSetLevel::chb_detectClick() {
  SilenceControls::chb_detectClick(*this);
}

void TfSetLevel::sp_intervalChange() {
  SilenceControls::sp_intervalChange(*this);
}

void TfSetLevel::sp_arlarmChange() {
  SilenceControls::sp_arlarmChange(*this);
}

void TfSetLevel::btn_loadClick() {
  SilenceControls::btn_loadClick(*this);
}

void TfSetLevel::MMAudioPlayer1Stop() {
  SilenceControls::MMAudioPlayer1Stop(*this);
}

void TfSetLevel::t_resetTimer() {
  SilenceControls::t_resetTimer(*this);
}

}  // namespace ostrel

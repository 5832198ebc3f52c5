// The silence detector's handlers on the level settings window. The controls, their
// ranges and design values are built with the window; what the handlers do comes with the
// silence detector itself. Until then they are wired but do nothing, so the rest of the
// window (rg_MeterClick recomputes the threshold at its end) can already call them.
#include "ballistics/uSet_Level.h"

namespace ostrel {

void TfSetLevel::spin_dbChange() {}

void TfSetLevel::chb_detectClick() {}

void TfSetLevel::sp_intervalChange() {}

void TfSetLevel::sp_arlarmChange() {}

void TfSetLevel::btn_loadClick() {}

void TfSetLevel::MMAudioPlayer1Stop() {}

void TfSetLevel::t_resetTimer() {}

}  // namespace ostrel

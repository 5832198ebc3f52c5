#pragma once
// The handlers of the silence detector's controls on the level settings window: threshold,
// detector on/off, check interval, alarm file and the pacing of the alarm sound. Each takes
// the window whose controls it reads and sets; the window's own handlers of the same names
// call them.

namespace ostrel {

class TfSetLevel;

namespace SilenceControls {

// nEdit := spin_db2; spin_db and led_db := the threshold amplitude of that dBFS value.
void spin_dbChange(TfSetLevel& w);
// The main window's check runs exactly while chb_detect is ticked.
void chb_detectClick(TfSetLevel& w);
// The check period follows sp_interval (seconds).
void sp_intervalChange(TfSetLevel& w);
// The alarm sound's repeat pause follows sp_arlarm (seconds).
void sp_arlarmChange(TfSetLevel& w);
// Lets the user choose the alarm file; a cancelled dialog changes nothing.
void btn_loadClick(TfSetLevel& w);
// The alarm sound has ended: no sound until t_reset re-arms it.
void MMAudioPlayer1Stop(TfSetLevel& w);
// Re-arms the alarm sound once.
void t_resetTimer(TfSetLevel& w);

}  // namespace SilenceControls
}  // namespace ostrel

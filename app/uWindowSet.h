#pragma once
// The program-wide window set: each window is created once at start, lives until the
// program ends, and is reached through its one global reference so that handlers of one
// window can drive the controls of another.

namespace ostrel {

class TfMain;
class TfSetLevel;
class TfLabels;
class Tfmulti;
class TfSkin;
class TFrmInfo;
class TfLogFile;

extern TfMain* fMain;
extern TfSetLevel* fSetLevel;
extern TfLabels* fLabels;
extern Tfmulti* fmulti;
extern TfSkin* fSkin;
extern TFrmInfo* FrmInfo;
extern TfLogFile* fLogFile;

// Creates the seven windows in their fixed order: main window, level settings, label
// editor, input setup, skin chooser, information window (shown at once), log window.
void CreateWindowSet();
// Destroys them in reverse order; the references become null.
void DestroyWindowSet();

}  // namespace ostrel

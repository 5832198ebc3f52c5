#include "app/uWindowSet.h"

#include "app/uInfo.h"
#include "app/uMain.h"
#include "audio/uMultimode.h"
#include "ballistics/uSet_Level.h"
#include "labels_skins/uLabels.h"
#include "labels_skins/uSkin.h"
#include "silence/uLogFile.h"

namespace ostrel {

TfMain* fMain = nullptr;
TfSetLevel* fSetLevel = nullptr;
TfLabels* fLabels = nullptr;
Tfmulti* fmulti = nullptr;
TfSkin* fSkin = nullptr;
TFrmInfo* FrmInfo = nullptr;
TfLogFile* fLogFile = nullptr;

void CreateWindowSet() {
  fMain = new TfMain();
  fSetLevel = new TfSetLevel();
  fLabels = new TfLabels();
  fmulti = new Tfmulti();
  fSkin = new TfSkin();
  FrmInfo = new TFrmInfo();
  FrmInfo->show();  // appears at once, before the main window
  fLogFile = new TfLogFile();
}

namespace {
template <class T>
void Destroy(T*& window) {
  delete window;
  window = nullptr;
}
}  // namespace

void DestroyWindowSet() {
  Destroy(fLogFile);
  Destroy(FrmInfo);
  Destroy(fSkin);
  Destroy(fmulti);
  Destroy(fLabels);
  Destroy(fSetLevel);
  Destroy(fMain);
}

}  // namespace ostrel

#include "audio/uMultimode.h"

#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "platform/RadioGroup.h"
#include "platform/WindowStyle.h"

namespace ostrel {

Tfmulti::Tfmulti(QWidget* parent) : QDialog(parent, kDialogOnTop) {
  SetUpFixedWindow(this, "fmulti", QStringLiteral("Multi Mode Input Setup"), 520, 430);
  rg_mode = new TRadioGroup(QStringLiteral(" Input Mode "), this);
  rg_mode->setObjectName(QStringLiteral("rg_mode"));
  rg_mode->SetItems({"2 Channels", "4 Channels", "8 Channels", "16 Channels", "24 Channels"});
  rg_mode->SetItemIndex(2);
  rg_mode->setGeometry(12, 12, 140, 130);
  rg_mode->OnClick = [this] { rg_modeClick(); };
}

void Tfmulti::rg_modeClick() {
  const int index = rg_mode->ItemIndex();
  if (index < 0 || index > 4 || !fMain) return;
  fMain->setMaximumWidth(kModeWidths[index]);
  fMain->resize(kModeWidths[index], fMain->height());
  fMain->MarkChannelMode(index);
  fMain->ChannelCount = kModeChannels[index];
}

}  // namespace ostrel

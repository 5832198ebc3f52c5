#include "ballistics/uSet_Level.h"

#include "app/Settings.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "ballistics/MeterStandards.h"
#include "metering/MMLevel.h"
#include "metering/MMLevelScale.h"
#include "platform/ImageControl.h"
#include "platform/MMLEDLabel.h"
#include "platform/MMLEDSpin.h"
#include "platform/RadioGroup.h"
#include "platform/WindowStyle.h"

#include <QLabel>

namespace ostrel {

namespace {
TMMLEDSpin* MakeSpin(QWidget* parent, const char* name, int lo, int hi, int value) {
  auto* s = new TMMLEDSpin(parent);
  s->setObjectName(QString::fromLatin1(name));
  s->SetRange(lo, hi);
  s->SetValue(value);
  return s;
}
}  // namespace

TfSetLevel::TfSetLevel(QWidget* parent) : QDialog(parent, kDialogOnTop) {
  SetUpFixedWindow(this, "fSetLevel", QStringLiteral("Level settings"), 687, 626);

  ima_nordic1 = new TImageControl(QStringLiteral("ima_nordic1"), this);
  ima_nordic1->setGeometry(40, 12, 37, 430);
  Scale_outfit = new TMMLevelScale(this);
  Scale_outfit->setObjectName(QStringLiteral("Scale_outfit"));
  Scale_outfit->SetBounds(40, 22, 37, 417);
  Scale_outfit->SetKind(lkVertical);
  Scale_outfit->hide();

  rg_Meter = new TRadioGroup(QStringLiteral(" Meter ballistics "), this);
  rg_Meter->setObjectName(QStringLiteral("rg_Meter"));
  QStringList items;
  for (const MeterStandardRow& row : MeterStandards()) items << QString::fromLatin1(row.item);
  rg_Meter->SetItems(items);
  rg_Meter->SetItemIndex(1);
  rg_Meter->setGeometry(110, 12, 160, 130);
  rg_Meter->OnClick = [this] { rg_MeterClick(); };

  rg_referenz = new TRadioGroup(QStringLiteral(" Referenz Level "), this);
  rg_referenz->setObjectName(QStringLiteral("rg_referenz"));
  rg_referenz->SetItems({"0 dBFS", "- 18 dBFS", "-20 dBFS", "-24 dBFS"});
  rg_referenz->SetColumns(4);
  rg_referenz->SetItemIndex(0);
  rg_referenz->setGeometry(110, 150, 400, 44);

  auto* label = new QLabel(QStringLiteral("Peaks"), this);
  label->setGeometry(290, 12, 80, 18);
  sp_peaks = MakeSpin(this, "sp_peaks", 0, 5, 3);
  sp_peaks->setGeometry(290, 30, 60, 26);
  label = new QLabel(QStringLiteral("OL Level Top"), this);
  label->setGeometry(380, 12, 100, 18);
  ol_top = MakeSpin(this, "ol_top", 1, 100, 84);
  ol_top->setGeometry(380, 30, 60, 26);
  label = new QLabel(QStringLiteral("OL Level Button"), this);
  label->setGeometry(490, 12, 110, 18);
  ol_button = MakeSpin(this, "ol_button", 1, 100, 58);
  ol_button->setGeometry(490, 30, 60, 26);
}

void TfSetLevel::rg_MeterClick() {
  Scale_outfit->hide();
  ima_nordic1->show();
  rg_referenz->setEnabled(true);
  if (!fMain) return;

  // The layout sweep depends on the standard applied last: BBC and EBU leave the scale
  // controls in a layout that only the long sweep puts back.
  const int ledTop = fMain->Led(1)->y();
  const bool longSweep = fMain->Level(1)->MeterStandard > 1;
  for (int n = 1; n <= TfMain::kChannels; ++n) {
    TMMLevel* level = fMain->Level(n);
    if (!longSweep) {
      level->SetBounds(level->x(), 11, level->width(), level->height());
      continue;
    }
    const int height = ledTop - 15;
    level->SetBounds(level->x(), 11, level->width(), height);
    TMMLevelScale* scale = fMain->LevelScale(n);
    scale->SetBounds(scale->x(), 12, scale->width(), height);
    TImageControl* picture = fMain->ImaNordic(n);
    picture->setGeometry(picture->x(), picture->y(), picture->width(), height);
    scale->hide();
    picture->show();
  }

  if (const MeterStandardRow* row = MeterStandardAt(rg_Meter->ItemIndex())) {
    ol_top->SetValue(ReadInt(QString::fromLatin1(row->topName), row->topDefault));
    ol_button->SetValue(ReadInt(QString::fromLatin1(row->bottomName), row->bottomDefault));
    for (int n = 1; n <= TfMain::kChannels; ++n) {
      TMMLevel* level = fMain->Level(n);
      level->MeterStandard = row->standard;
      level->SetSensitivy(row->sensitivity);
      level->SetPoint2(ol_top->Value());
      level->SetPoint1(ol_button->Value());
    }
    for (int n = 1; n <= TfMain::kChannels; ++n) row->draw(*fMain->ImaNordic(n));
    if (rg_Meter->ItemIndex() == 4) {
      ima_nordic1->show();
      Scale_outfit->hide();
    }
    row->draw(*ima_nordic1);
    fMain->Panel1->setText(QString::fromLatin1(row->caption));
  }
}

}  // namespace ostrel

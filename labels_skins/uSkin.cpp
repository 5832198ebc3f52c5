#include "labels_skins/uSkin.h"

#include "app/Settings.h"
#include "platform/ProgramFolder.h"
#include "platform/RadioGroup.h"
#include "platform/SkinData.h"
#include "platform/WindowStyle.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace ostrel {

const QStringList& TfSkin::SkinFiles() {
  static const QStringList files = {
      QStringLiteral("skins/iTunes.SKN"),   QStringLiteral("skins/mxskin20.skn"),
      QStringLiteral("skins/mxskin15.skn"), QStringLiteral("skins/mxskin60.skn"),
      QStringLiteral("skins/mxskin24.skn"), QStringLiteral("skins/mxskin28.skn"),
      QStringLiteral("skins/mxskin29.SKN"), QStringLiteral("skins/mxskin30.skn"),
      QStringLiteral("skins/mxskin35.skn"), QStringLiteral("skins/mxskin40.skn"),
      QStringLiteral("skins/mxskin47.skn"), QStringLiteral("skins/mxskin56.skn"),
      QStringLiteral("skins/mxskin59.skn"), QStringLiteral("skins/mxskin67.skn")};
  return files;
}

TfSkin::TfSkin(QWidget* parent) : QDialog(parent, kToolOnTop) {
  SetUpFixedWindow(this, "fSkin", QStringLiteral("Bars preference"), 229, 334);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 6);
  column->setSpacing(6);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  auto* panel = new QLabel(QStringLiteral("Program Skins "), StatusBar1);
  panel->setObjectName(QStringLiteral("StatusPanel0"));
  panel->setAlignment(Qt::AlignCenter);
  StatusBar1->addWidget(panel, 1);
  column->addWidget(StatusBar1);

  rg_skin = new TRadioGroup(QStringLiteral(" Program Skins "), this);
  rg_skin->setObjectName(QStringLiteral("rg_skin"));
  rg_skin->SetColumns(2);
  QStringList items;
  for (int i = 1; i <= SkinFiles().size(); ++i) items << QStringLiteral("Skin%1").arg(i);
  rg_skin->SetItems(items);
  rg_skin->OnClick = [this] { rg_skinClick(); };
  auto* groupRow = new QHBoxLayout;
  groupRow->setContentsMargins(8, 0, 8, 0);
  groupRow->addWidget(rg_skin);
  column->addLayout(groupRow, 1);

  Button2 = new QPushButton(QStringLiteral("Okay"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  connect(Button2, &QPushButton::clicked, this, &TfSkin::Button2Click);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->setContentsMargins(8, 0, 8, 0);
  buttonRow->addStretch(1);
  buttonRow->addWidget(Button2);
  column->addLayout(buttonRow);

  CentreOnScreen(this);
}

void TfSkin::rg_skinClick() {
  const int index = rg_skin->ItemIndex();
  // Clearing the selection from code is no choice of a skin.
  if (index < 0 || index >= SkinFiles().size()) return;
  TSkinData& engine = ProgramSkin();
  try {
    engine.SetSkinFile(ProgramFolder() + QLatin1Char('/') + SkinFiles()[index]);
  } catch (...) {
    // A skin that cannot be applied leaves the look as it was; the choice is kept all the same.
  }
  WriteString(QStringLiteral("skin"), engine.SkinFile());
}

void TfSkin::Button2Click() {
  close();
}

}  // namespace ostrel

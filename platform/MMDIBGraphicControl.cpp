#include "platform/MMDIBGraphicControl.h"

#include "platform/MMError.h"

namespace ostrel {

TMMDIBGraphicControl::TMMDIBGraphicControl(QWidget* parent) : TMMGraphicControl(parent) {}

void TMMDIBGraphicControl::SetDIBBitCount(int bits) {
  if (bits == dib_.BitCount()) return;
  dib_.SetBitCount(bits);  // raises for unsupported depths before anything changed
  DIBBitCountChanged();
  update();
}

}  // namespace ostrel

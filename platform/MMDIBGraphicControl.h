#pragma once
// Graphic control that composes its picture in an off-screen pixel surface before it is
// copied to the screen. The surface depth is 8 bits per pixel unless asked otherwise.

#include "platform/MMDIBCanvas.h"
#include "platform/MMGraphicControl.h"

namespace ostrel {

class TMMDIBGraphicControl : public TMMGraphicControl {
  Q_OBJECT
 public:
  explicit TMMDIBGraphicControl(QWidget* parent = nullptr);

  TMMDIBCanvas& DIB() { return dib_; }
  const TMMDIBCanvas& DIB() const { return dib_; }

  int DIBBitCount() const { return dib_.BitCount(); }
  // Nothing when unchanged; a depth other than 8 or 24 raises EMMDIBError and keeps the
  // depth; otherwise DIBBitCountChanged runs and the control is invalidated.
  void SetDIBBitCount(int bits);

 protected:
  // The surface took a new depth (and lost its pixels). Base: nothing.
  virtual void DIBBitCountChanged() {}

 private:
  TMMDIBCanvas dib_;
};

}  // namespace ostrel

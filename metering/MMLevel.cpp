#include "metering/MMLevel.h"

#include "platform/FrameClock.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace ostrel {

namespace {
// Trunc of the measurement path, kept inside the 32-bit state words even for absurd
// DC offsets or curve results.
int TruncToInt(double v) {
  v = std::trunc(v);
  if (v >= double(INT_MAX)) return INT_MAX;
  if (v <= double(INT_MIN)) return INT_MIN;
  return int(v);
}

// Round to the nearest integer, ties to even (the default floating-point rounding mode).
long long RoundEven(double v) {
  return std::llrint(v);
}

// Reference level multipliers k18, k20, k24 per meter standard.
constexpr double kReference[4][3] = {
    {2.74765, 3.372525, 5.63305},  // N9
    {2.1962, 2.8127, 4.3246},      // DIN
    {2.2023, 2.71344, 4.1816},     // BBC
    {2.71434, 3.41684, 5.44348},   // EBU
};

int ClampInt(int v, int lo, int hi) {
  return std::clamp(v, lo, hi);
}

std::int16_t ReadInt16(const std::uint8_t* p) {
  std::int16_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
}  // namespace

TMMCustomLevel::PeakGuard::PeakGuard(std::atomic_flag& f) : flag_(f) {
  while (flag_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
}

TMMCustomLevel::TMMCustomLevel(QWidget* parent, TickService& ticks)
    : TMMDIBGraphicControl(parent), ticks_(ticks) {
  UpdateBlockBytes();
  SetBounds(0, 0, 200, 17);
  tick_ = ticks_.RegisterTick(
      25, false, [this](void*) { PeakTick(); }, this);
}

TMMCustomLevel::~TMMCustomLevel() {
  // After this the tick thread never touches the meter again.
  ticks_.UnregisterTick(tick_);
}

bool TMMCustomLevel::Visible() const {
  return !(isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide));
}

// ---- Properties ---------------------------------------------------------------------------

void TMMCustomLevel::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  if (!v) {
    ResetDisplay();
    ticks_.PauseTick(tick_);
  } else {
    RecalcSpots();
    ticks_.ResumeTick(tick_);
  }
  update();
}

void TMMCustomLevel::SetKind(TMMLevelKind v) {
  if (v == kind_) return;
  kind_ = v;
  if ((v == lkHorizontal && height() > width()) || (v == lkVertical && height() < width()))
    SetBounds(x(), y(), height(), width());
  BoundsChanged();
  update();
}

void TMMCustomLevel::SetDirection(TMMLevelDirection v) {
  if (v == direction_) return;
  direction_ = v;
  RebuildBackground();
  update();
}

void TMMCustomLevel::SetSpotSpace(int v) {
  v = ClampInt(v, 0, 10);
  if (v == spotSpace_) return;
  spotSpace_ = v;
  RecalcSpots();
  update();
}

void TMMCustomLevel::SetSpotWidth(int v) {
  v = std::max(std::min(v, BarLength() / 3), 1);
  if (v == spotWidth_) return;
  spotWidth_ = v;
  RecalcSpots();
  update();
}

void TMMCustomLevel::SetBarColor(TColor& field, TColor v) {
  if (v == field) return;
  field = v;
  RebuildBackground();
  update();
}

void TMMCustomLevel::SetInactiveDoted(bool v) {
  if (v == inactiveDoted_) return;
  inactiveDoted_ = v;
  RebuildBackground();
  update();
}

void TMMCustomLevel::SetActiveDoted(bool v) {
  if (v == activeDoted_) return;
  activeDoted_ = v;
  RebuildBackground();
  update();
}

void TMMCustomLevel::SetPoint1(int v) {
  v = ClampInt(v, 1, 100);
  if (v == point1_) return;
  point1_ = v;
  RecalcSpots();
  update();
}

void TMMCustomLevel::SetPoint2(int v) {
  v = ClampInt(v, 1, 100);
  if (v == point2_) return;
  point2_ = v;
  RecalcSpots();
  update();
}

void TMMCustomLevel::UpdateBlockBytes() {
  blockBytes_ = (int(bitLength_) + 1) * (int(mode_) + 1) * samples_;
}

void TMMCustomLevel::SetBitLength(TMMBits v) {
  if (v == bitLength_) return;
  bitLength_ = v;
  UpdateBlockBytes();
  update();
}

void TMMCustomLevel::SetChannel(TMMChannel v) {
  if (v == channel_) return;
  channel_ = v;
  UpdateBlockBytes();
  update();
}

void TMMCustomLevel::SetMode(TMMMode v) {
  if (v == mode_) return;
  mode_ = v;
  UpdateBlockBytes();
  update();
}

void TMMCustomLevel::SetSamples(int v) {
  v = std::max(v, 1);
  if (v == samples_) return;
  samples_ = v;
  UpdateBlockBytes();
}

void TMMCustomLevel::SetGain(int v) {
  if (v < -8 || v > 32 || v == gain_) return;  // out of range: ignored, not clamped
  gain_ = v;
  gainEighths_ = v + 8;
  update();
}

void TMMCustomLevel::SetSensitivy(int v) {
  sensitivy_ = ClampInt(v, -90, -9);
}

void TMMCustomLevel::SetLogAmp(bool v) {
  if (v == logAmp_) return;
  logAmp_ = v;
  update();
}

void TMMCustomLevel::SetNumPeaks(int v) {
  v = ClampInt(v, 0, 5);
  if (v == numPeaks_) return;
  const bool wasOff = numPeaks_ == 0;
  numPeaks_ = v;
  peakCountdown_ = 0;
  composer_.Invalidate();
  // The tick holds one pause for "no markers" and one for "disabled". Leaving 0 gives
  // back the first one even while disabled; otherwise it would never be given back.
  if (v == 0)
    ticks_.PauseTick(tick_);
  else if (wasOff || enabled_)
    ticks_.ResumeTick(tick_);
  update();
}

void TMMCustomLevel::SetPeakDelay(int v) {
  v = ClampInt(v, 0, 50);
  if (v == peakDelay_) return;
  peakDelay_ = v;
  peakCountdown_ = 0;
  update();
}

void TMMCustomLevel::SetPeakSpeed(int v) {
  v = ClampInt(v, 0, 50);
  if (v == peakSpeed_) return;
  peakSpeed_ = v;
  peakCountdown_ = 0;
  update();
}

void TMMCustomLevel::SetDecayMode(TMMDecayMode v) {
  if (v == decayMode_) return;
  decayMode_ = v;
  ResetDecay();
}

void TMMCustomLevel::SetDecay(int v) {
  v = ClampInt(v, 1, 16);
  if (v == decay_) return;
  decay_ = v;
  // 0.0001 ^ (1 / 2^d), one single-precision square root at a time.
  float f = 0.0001f;
  for (int i = 0; i < v; ++i) f = float(std::sqrt(double(f)));
  decayFactor_ = f;
  decayWindow_ = ClampInt(2 * v - 2, 1, kDecayRingSize);
  if (decayMode_ == dmUniform) ResetDecay();
}

int TMMCustomLevel::Value() const {
  if (levelSpots_ == 0) return 0;
  const double fraction = double(levelSpots_) / spotCount_;
  if (!logAmp_) return int(RoundEven(100.0 * fraction));
  // With Gain -8 no signal reaches the bar at all; there is no level to give back.
  if (gainEighths_ == 0) return 0;
  return int(
      RoundEven(100.0 * 8 / gainEighths_ * std::pow(10.0, sensitivy_ * (1.0 - fraction) / 20.0)));
}

void TMMCustomLevel::SetValue(int v) {
  v = ClampInt(v, 0, 100);
  ApplyLevel(int(RoundEven(v * 32767.0 / 100.0)));
}

// ---- Measurement ---------------------------------------------------------------------------

int TMMCustomLevel::BlockPeakOf(const std::uint8_t* data) const {
  const long long dl = -(long long)dcOffsetL_, dr = -(long long)dcOffsetR_;
  // Non-mono data is interleaved; four-channel frames are read as their first two channels.
  const int stride = mode_ == mMono ? 1 : int(mode_) + 1;
  long long peak = 0;
  if (bitLength_ == b8Bit) {
    for (int i = 0; i < samples_; ++i) {
      const std::uint8_t* f = data + i * stride;
      long long s;
      if (mode_ == mMono || channel_ == chLeft)
        s = f[0] + dl - 128;
      else if (channel_ == chRight)
        s = f[1] + dr - 128;
      else
        s = (f[0] + dl + f[1] + dr) / 2 - 128;
      peak = std::max(peak, std::llabs(s * 256));
    }
  } else {
    for (int i = 0; i < samples_; ++i) {
      const std::uint8_t* f = data + 2 * i * stride;
      long long s;
      if (mode_ == mMono || channel_ == chLeft)
        s = ReadInt16(f) + dl;
      else if (channel_ == chRight)
        s = ReadInt16(f + 2) + dr;
      else
        s = (ReadInt16(f) + dl + ReadInt16(f + 2) + dr) / 2;  // averaged before rectifying
      peak = std::max(peak, std::llabs(s));
    }
  }
  return int(std::min(peak, (long long)INT_MAX));
}

void TMMCustomLevel::FeedData(const void* data) {
  if (!enabled_ || !Visible()) return;
  const int peak = BlockPeakOf(static_cast<const std::uint8_t*>(data));
  if (peak >= FullScale && onPcmOverflow_) onPcmOverflow_(this);
  blockPeak_ = peak;

  double h = peak;
  if (MeterStandard <= 3) {
    const double* k = kReference[MeterStandard];
    if (Reference18) h = h * 0.707 * k[0];
    if (Reference20) h = h * 0.707 * k[1];
    if (Reference24) h = h * 0.707 * k[2];
  }
  if (Integrate) {
    Integration(h);
    return;
  }
  const int v = TruncToInt(h);
  shapedLevel_ = v;
  ApplyLevel(TruncToInt(ApplyCurve(h, v, false)));
}

double TMMCustomLevel::ApplyCurve(double h, int v, bool integrating) const {
  switch (MeterStandard) {
    case 0:  // Nordic N9
      if (v >= 33 && v <= 229) return std::trunc(-7.57611e-6 * h * h + 1.24245 * h + 70.712);
      if (v >= 230) return std::trunc(-7.57611e-6 * h * h + 1.24245 * h + 181.712);
      return h;
    case 1:  // DIN 45406
      if (v >= 0 && v < 5820) return std::trunc(6.2408e-6 * h * h + 0.083969 * h + 4.92065);
      if (v >= 5820) return std::trunc(3.3894e-5 * h * h - 0.121814 * h + 359.222);
      return h;
    case 2:  // BBC
      if (v < 1) return h;
      return integrating ? std::trunc(3e-5 * h * h + 1.662 * h + 111.2)
                         : std::trunc(5.3e-5 * h * h + 0.0662 * h + 111.2);
    case 3:  // EBU
      if (v < 1) return h;
      return integrating ? std::trunc(0.0125575 * std::pow(h, 1.44751))
                         : std::trunc(0.00451076 * std::pow(h, 1.45118));
    default:
      return h;
  }
}

long long TMMCustomLevel::IntegrationSum(int count) {
  if (integrationSumLength_ == count - 1) {
    integrationSum_ += integrationBuffer_[count - 1];
  } else if (integrationSumLength_ != count) {
    integrationSum_ = 0;
    for (int i = 0; i < count; ++i) integrationSum_ += integrationBuffer_[i];
  }
  integrationSumLength_ = count;
  return integrationSum_;
}

void TMMCustomLevel::Integration(double h) {
  // The field is written directly by the program; keep it inside the buffer.
  const int length = ClampInt(IntegrationLength, 1, kMaxIntegration);
  const int count = integrationCount_;
  if (count < length) {
    // Fill phase: average what has been collected so far, without the newest block.
    // (Entries from `count` on are outside the running sum, which never reaches past it.)
    integrationBuffer_[count] = TruncToInt(h);
    if (count > 0) shapedLevel_ = int(IntegrationSum(count) / count);
    ApplyLevel(shapedLevel_);
    ++integrationCount_;
    return;
  }
  const int v = TruncToInt(h);
  shapedLevel_ = v;
  std::memmove(&integrationBuffer_[1], &integrationBuffer_[0], length * sizeof(std::int32_t));
  integrationBuffer_[0] = TruncToInt(ApplyCurve(h, v, true));
  // The running sum of the first `length` entries loses the one that moved out to
  // `length` and gains the new one in front.
  if (integrationSumLength_ == length) {
    integrationSum_ += integrationBuffer_[0] - (long long)integrationBuffer_[length];
  } else {
    integrationSumLength_ = 0;
    IntegrationSum(length);
  }
  shapedLevel_ = int(integrationSum_ / length);
  ApplyLevel(shapedLevel_);
}

void TMMCustomLevel::ApplyLevel(int level) {
  long long a = std::llabs((long long)level);
  if (a == 0 && levelSpots_ == 0 && !peakMoved_) return;  // silent and nothing to show

  if (decayMode_ != dmNone) {
    if (++decayPos_ >= decayWindow_) decayPos_ = 0;
    if (++decayFilled_ > decayWindow_) decayFilled_ = decayWindow_;
    switch (decayMode_) {
      case dmStepUp:
        decayLevel_ = float(double(decayLevel_) * decayFactor_);
        if (double(a) > decayLevel_)
          decayLevel_ = float(a);
        else
          a = (long long)std::trunc(decayLevel_);
        break;
      case dmExponential:
        decayLevel_ = float(double(decayLevel_) * decayFactor_ + (1.0 - decayFactor_) * double(a));
        a = (long long)std::floor(decayLevel_);
        break;
      case dmUniform:
        decaySum_ += a - decayRing_[decayPos_];
        decayRing_[decayPos_] = std::int32_t(std::min(a, (long long)INT_MAX));
        a = decaySum_ / decayFilled_;
        break;
      case dmNone:
        break;
    }
  }

  const long long g = a * gainEighths_ / 8;
  const int s = sensitivy_, n = spotCount_;
  long long p;
  if (logAmp_) {
    const float d = float(20.0 * std::log10(std::max(double(g) / FullScale, 0.000001)));
    p = RoundEven((double(d) - s) * n / -s);
  } else {
    const float t = float(FullScale / std::pow(10.0, -s / 20.0));
    p = RoundEven((double(g) - t) * n / (FullScale - double(t)));
  }
  p = std::max(p, 0LL);
  if (direction_ == dirSymetric) p /= 2;
  if (p > n) {
    if (onGainOverflow_) onGainOverflow_(this);
    p = n;
  }
  const int spots = int(p);

  {
    PeakGuard guard(peakLock_);
    if (spots >= peakSpot_ && spots > 0 && numPeaks_ > 0) {
      peakMoved_ = true;
      peakCountdown_ = LeaveMaxPeak ? kLongHold : 2 * peakDelay_ + 1;
      peakSpot_ = spots;
    }
  }
  if (spots == levelSpots_ && !peakMoved_) return;
  peakMoved_ = false;
  levelSpots_ = spots;
  if (enabled_ && Visible()) RedrawNow();
}

void TMMCustomLevel::PeakTick() {
  PeakGuard guard(peakLock_);
  const int spot = peakSpot_;
  if (spot <= 0) return;
  if (--peakCountdown_ > 0) return;
  const int speed = peakSpeed_;
  if (speed == 0) {
    peakSpot_ = 0;
    peakCountdown_ = 0;
  } else {
    peakSpot_ = spot - 1;
    peakCountdown_ = LeaveMaxPeak ? kLongHold : speed;
  }
  peakMoved_ = true;  // shown by the next reading
}

void TMMCustomLevel::SetPCMFormat(const TPCMWaveFormat& format) {
  const int bits = format.wBitsPerSample, channels = format.nChannels;
  if (format.wFormatTag != 1 || (bits != 8 && bits != 16) ||
      (channels != 1 && channels != 2 && channels != 4) || format.nSamplesPerSec < 4000 ||
      format.nSamplesPerSec > 100000)
    throw EMMLevelError("Invalid WaveFormat");
  SetBitLength(TMMBits(bits / 8 - 1));
  SetMode(TMMMode(channels - 1));
}

QString TMMCustomLevel::LevelToDbText(double level, double reference, double offset) {
  if (level == 0) return QStringLiteral("-Inf");
  const double r = std::max(reference, 1.0);
  const float d = float(20.0 * std::log10(std::fabs(level) / r) + offset);
  return QString::asprintf("%2.*f", 2, double(d));
}

void TMMCustomLevel::ResetDisplay() {
  {
    PeakGuard guard(peakLock_);
    peakSpot_ = 0;
    peakCountdown_ = 0;
  }
  levelSpots_ = 0;
  ResetDecay();
  RedrawNow();
}

void TMMCustomLevel::ResetDecay() {
  decayPos_ = 0;
  decayFilled_ = 0;
  decaySum_ = 0;
  decayLevel_ = 0.0f;
  decayRing_.fill(0);
}

// ---- Geometry ---------------------------------------------------------------------------

void TMMCustomLevel::RecalcSpots() {
  spotWidth_ = std::max(spotWidth_, 1);
  const int len = BarLength();
  const int step = spotWidth_ + spotSpace_;
  spotCount_ = std::max((len + spotSpace_) / step, 1);
  spotMargin_ = (len - (step * spotCount_ - spotSpace_)) / 2;
  zone1Spot_ = point1_ * spotCount_ / 100;
  zone2Spot_ = point2_ * spotCount_ / 100;
  RebuildBackground();
  {
    PeakGuard guard(peakLock_);
    peakSpot_ = 0;
  }
  levelSpots_ = 0;
}

void TMMCustomLevel::BoundsChanged() {
  innerRect_ = BevelInnerRect();
  innerWidth_ = std::max(innerRect_.width(), 1);
  innerHeight_ = std::max(innerRect_.height(), 1);
  DIB().SetSize(innerWidth_, innerHeight_);
  background_.SetSize(innerWidth_, innerHeight_);
  composer_.Invalidate();
  RecalcSpots();
  update();
}

// ---- Drawing ---------------------------------------------------------------------------------

LevelBarStyle TMMCustomLevel::Style(bool inactive) const {
  LevelBarStyle st;
  st.kind = kind_;
  st.direction = direction_;
  st.innerWidth = innerWidth_;
  st.innerHeight = innerHeight_;
  st.spotWidth = spotWidth_;
  st.spotSpace = spotSpace_;
  st.spotCount = spotCount_;
  st.spotMargin = spotMargin_;
  st.zone1Spot = zone1Spot_;
  st.zone2Spot = zone2Spot_;
  st.numPeaks = numPeaks_;
  st.colors = inactive ? inactiveColors_ : barColors_;
  st.dotted = inactive ? inactiveDoted_ : activeDoted_;
  return st;
}

void TMMCustomLevel::RebuildBackground() {
  if (onDrawBar_) return;  // the handler paints everything; keep the old background
  {
    TMMDIBDrawScope draw(background_);
    background_.SetColor(Color());
    background_.Fill();
    const LevelBarStyle unlit = Style(true);
    LevelBarPainter(unlit).DrawSpots(background_, spotCount_, true, 0);
  }
  composer_.Invalidate();
}

void TMMCustomLevel::DIBBitCountChanged() {
  background_.SetBitCount(DIB().BitCount());
  composer_.Invalidate();
  RebuildBackground();
}

void TMMCustomLevel::SetOnDrawBar(TMMLevelDrawBar handler) {
  onDrawBar_ = std::move(handler);
  composer_.Invalidate();
  if (!onDrawBar_) RebuildBackground();
  update();
}

QRect TMMCustomLevel::DrawBar(QPainter* p) {
  if (onPaint_) onPaint_(this);
  TMMDIBDrawScope draw(DIB());
  QRect changed;
  if (onDrawBar_) {
    changed = QRect(0, 0, innerWidth_, innerHeight_);
    onDrawBar_(this, DIB(), changed, levelSpots_, peakSpot_);
    composer_.Invalidate();  // the handler's picture is not ours to patch
  } else {
    const LevelBarStyle lit = Style(false);
    changed = composer_.Compose(DIB(), background_, lit, enabled_, levelSpots_, peakSpot_);
  }
  if (p && !innerRect_.isEmpty()) DIB().Draw(*p, innerRect_);
  return changed;
}

void TMMCustomLevel::Paint(QPainter& p) {
  Bevel()->PaintBevel(p, rect());
  DrawBar(&p);
}

void TMMCustomLevel::RedrawNow() {
  if (!isVisible()) return;  // not on screen: the next paint composes the current state
  const QRect changed = DrawBar(nullptr);
  // The bar is composed now; its copy to the screen waits for the next display frame.
  if (!changed.isEmpty())
    FrameClock::Instance().RequestUpdate(this,
                                         changed.translated(innerRect_.topLeft()) & innerRect_);
}

}  // namespace ostrel

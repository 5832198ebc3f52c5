#pragma once
// The level meter: turns blocks of PCM samples into a peak-programme bar of spots with
// three colour zones, decay, integration and a falling peak-hold marker.
//
// Threads: everything runs on the GUI thread except PeakTick, which the shared tick runs
// on its own thread. The two sides share only the peak words (PeakSpot, PeakCountdown,
// PeakMoved), which are atomics updated under a tiny spin lock so that each side sees the
// other's multi-word updates whole.

#include <QRect>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include "metering/MMLevelBar.h"
#include "metering/MMLevelTypes.h"
#include "metering/TickService.h"
#include "platform/MMDIBGraphicControl.h"
#include "platform/MMError.h"

namespace ostrel {

class EMMLevelError : public EMMError {
 public:
  using EMMError::EMMError;
};

// The 16-byte PCM wave-format record.
struct TPCMWaveFormat {
  std::uint16_t wFormatTag = 1;
  std::uint16_t nChannels = 2;
  std::uint32_t nSamplesPerSec = 44100;
  std::uint32_t nAvgBytesPerSec = 176400;
  std::uint16_t nBlockAlign = 4;
  std::uint16_t wBitsPerSample = 16;
};
static_assert(sizeof(TPCMWaveFormat) == 16);

class TMMCustomLevel;
using TNotifyEvent = std::function<void(QObject* Sender)>;
using TMMLevelDrawBar = std::function<void(TMMCustomLevel* Sender, TMMDIBCanvas& DIB,
                                           const QRect& Rect, int nSpots, int Peak)>;

class TMMCustomLevel : public TMMDIBGraphicControl {
  Q_OBJECT
 public:
  static constexpr int FullScale = 32767;
  static constexpr int kLongHold = 10000;  // ticks a peak is held with LeaveMaxPeak (250 s)
  static constexpr int kMaxIntegration = 300;
  static constexpr int kDecayRingSize = 32;

  // Registers with `ticks` for the peak fall (the shared service unless tests give another).
  explicit TMMCustomLevel(QWidget* parent = nullptr, TickService& ticks = TickService::Instance());
  ~TMMCustomLevel() override;

  // ---- Published properties -----------------------------------------------------------
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  TMMLevelKind Kind() const { return kind_; }
  void SetKind(TMMLevelKind v);
  TMMLevelDirection Direction() const { return direction_; }
  void SetDirection(TMMLevelDirection v);
  int SpotSpace() const { return spotSpace_; }
  void SetSpotSpace(int v);
  int SpotWidth() const { return spotWidth_; }
  void SetSpotWidth(int v);
  TColor Bar1Color() const { return barColors_[0]; }
  TColor Bar2Color() const { return barColors_[1]; }
  TColor Bar3Color() const { return barColors_[2]; }
  void SetBar1Color(TColor v) { SetBarColor(barColors_[0], v); }
  void SetBar2Color(TColor v) { SetBarColor(barColors_[1], v); }
  void SetBar3Color(TColor v) { SetBarColor(barColors_[2], v); }
  TColor Inactive1Color() const { return inactiveColors_[0]; }
  TColor Inactive2Color() const { return inactiveColors_[1]; }
  TColor Inactive3Color() const { return inactiveColors_[2]; }
  void SetInactive1Color(TColor v) { SetBarColor(inactiveColors_[0], v); }
  void SetInactive2Color(TColor v) { SetBarColor(inactiveColors_[1], v); }
  void SetInactive3Color(TColor v) { SetBarColor(inactiveColors_[2], v); }
  bool InactiveDoted() const { return inactiveDoted_; }
  void SetInactiveDoted(bool v);
  bool ActiveDoted() const { return activeDoted_; }
  void SetActiveDoted(bool v);
  int Point1() const { return point1_; }
  void SetPoint1(int v);
  int Point2() const { return point2_; }
  void SetPoint2(int v);
  TMMBits BitLength() const { return bitLength_; }
  void SetBitLength(TMMBits v);
  TMMChannel Channel() const { return channel_; }
  void SetChannel(TMMChannel v);
  TMMMode Mode() const { return mode_; }
  void SetMode(TMMMode v);
  int Samples() const { return samples_; }
  void SetSamples(int v);
  int Gain() const { return gain_; }
  void SetGain(int v);
  int Sensitivy() const { return sensitivy_; }
  void SetSensitivy(int v);
  bool LogAmp() const { return logAmp_; }
  void SetLogAmp(bool v);
  int NumPeaks() const { return numPeaks_; }
  void SetNumPeaks(int v);
  int PeakDelay() const { return peakDelay_; }
  void SetPeakDelay(int v);
  int PeakSpeed() const { return peakSpeed_; }
  void SetPeakSpeed(int v);
  TMMDecayMode DecayMode() const { return decayMode_; }
  void SetDecayMode(TMMDecayMode v);
  int Decay() const { return decay_; }
  void SetDecay(int v);
  int Value() const;
  void SetValue(int v);
  int DCOffsetL() const { return dcOffsetL_; }
  void SetDCOffsetL(int v) { dcOffsetL_ = v; }
  int DCOffsetR() const { return dcOffsetR_; }
  void SetDCOffsetR(int v) { dcOffsetR_ = v; }
  void SetOnGainOverflow(TNotifyEvent handler) { onGainOverflow_ = std::move(handler); }
  void SetOnPcmOverflow(TNotifyEvent handler) { onPcmOverflow_ = std::move(handler); }
  // Raised at the start of every bar drawing, before anything is drawn.
  void SetOnPaint(TNotifyEvent handler) { onPaint_ = std::move(handler); }
  // Replaces the meter's own bar drawing while assigned; removing it rebuilds the background.
  void SetOnDrawBar(TMMLevelDrawBar handler);

  // ---- Public fields the ballistics presets write directly ----------------------------
  std::uint16_t MeterStandard = 0;  // 0 N9, 1 DIN, 2 BBC, 3 EBU
  bool Integrate = false;
  std::uint16_t IntegrationLength = 1;    // blocks averaged; used as 1..300
  std::atomic<bool> LeaveMaxPeak{false};  // also read by the tick thread
  bool Reference18 = false;
  bool Reference20 = false;
  bool Reference24 = false;

  // Peak magnitude of the last measured block, before any multiplier or curve.
  int BlockPeak() const { return blockPeak_; }

  // ---- Operations -----------------------------------------------------------------------
  // Measures one block of Samples() frames in the meter's format (BlockBytes() bytes).
  void FeedData(const void* data);
  // Raises EMMLevelError "Invalid WaveFormat" unless PCM, 8/16 bits, 1/2/4 channels and
  // 4000..100000 Hz; then sets BitLength and Mode.
  void SetPCMFormat(const TPCMWaveFormat& format);
  void ResetDisplay();
  void ResetDecay();
  void RecalcSpots();
  // Decay, gain, bar mapping and peak capture of one level in sample units.
  void ApplyLevel(int level);
  // One 25 ms tick of the peak marker's hold and fall; never draws.
  void PeakTick();
  static QString LevelToDbText(double level, double reference, double offset);
  // Redraws the pre-drawn unlit bar (nothing while OnDrawBar is assigned).
  void RebuildBackground();

  // The meter's "Visible": false only when the control was explicitly hidden, so a meter
  // that simply has not been put on screen yet still measures.
  bool Visible() const;

  // ---- State, read only -------------------------------------------------------------------
  int ShapedLevel() const { return shapedLevel_; }
  int IntegrationCount() const { return integrationCount_; }
  int GainEighths() const { return gainEighths_; }
  int BlockBytes() const { return blockBytes_; }
  int SpotCount() const { return spotCount_; }
  int SpotMargin() const { return spotMargin_; }
  int Zone1Spot() const { return zone1Spot_; }
  int Zone2Spot() const { return zone2Spot_; }
  QRect InnerRect() const { return innerRect_; }
  int InnerWidth() const { return innerWidth_; }
  int InnerHeight() const { return innerHeight_; }
  int LevelSpots() const { return levelSpots_; }
  int PeakSpot() const { return peakSpot_; }
  int PeakCountdown() const { return peakCountdown_; }
  bool PeakMoved() const { return peakMoved_; }
  float DecayFactor() const { return decayFactor_; }
  int DecayWindow() const { return decayWindow_; }
  float DecayLevel() const { return decayLevel_; }
  TickHandle Tick() const { return tick_; }
  const TMMDIBCanvas& BackgroundSurface() const { return background_; }

 protected:
  void BoundsChanged() override;
  void ColorChanged() override { RebuildBackground(); }
  void DIBBitCountChanged() override;
  // Bevel, then the bar (the bar covers the whole inner area, so no Color fill under it).
  void Paint(QPainter& p) override;

 private:
  // Short critical section shared with the tick thread; never held across a call out.
  class PeakGuard {
   public:
    explicit PeakGuard(std::atomic_flag& f);
    ~PeakGuard() { flag_.clear(std::memory_order_release); }

   private:
    std::atomic_flag& flag_;
  };

  void SetBarColor(TColor& field, TColor v);
  void UpdateBlockBytes();
  int BlockPeakOf(const std::uint8_t* data) const;
  void Integration(double h);
  long long IntegrationSum(int count);
  double ApplyCurve(double h, int v, bool integrating) const;
  int BarLength() const { return kind_ == lkHorizontal ? innerWidth_ : innerHeight_; }
  LevelBarStyle Style(bool inactive) const;
  // Composes the bar in the off-screen surface and copies it to `p` when given; returns the
  // part of the inner area that changed.
  QRect DrawBar(QPainter* p);
  // The immediate redraw after a reading: composes at once when on screen and asks Qt to
  // copy just the changed spots to the screen with the next paint.
  void RedrawNow();

  TickService& ticks_;
  TickHandle tick_ = kNoTick;

  bool enabled_ = true;
  TMMLevelKind kind_ = lkHorizontal;
  TMMLevelDirection direction_ = dirNormal;
  int spotSpace_ = 1;
  int spotWidth_ = 1;
  std::array<TColor, 3> barColors_{clAqua, clAqua, clRed};
  std::array<TColor, 3> inactiveColors_{clTeal, clTeal, clMaroon};
  bool inactiveDoted_ = false;
  bool activeDoted_ = false;
  int point1_ = 50;
  int point2_ = 85;
  TMMBits bitLength_ = b8Bit;
  TMMChannel channel_ = chBoth;
  TMMMode mode_ = mMono;
  int samples_ = 50;
  int gain_ = 0;
  int sensitivy_ = -35;
  bool logAmp_ = true;
  int numPeaks_ = 1;
  int peakDelay_ = 20;
  std::atomic<int> peakSpeed_{0};  // read by the tick thread
  TMMDecayMode decayMode_ = dmNone;
  int decay_ = 1;
  int dcOffsetL_ = 0;
  int dcOffsetR_ = 0;
  TNotifyEvent onGainOverflow_;
  TNotifyEvent onPcmOverflow_;
  TNotifyEvent onPaint_;
  TMMLevelDrawBar onDrawBar_;

  int blockPeak_ = 0;
  int shapedLevel_ = 0;
  std::uint16_t integrationCount_ = 0;
  std::array<std::int32_t, kMaxIntegration + 1> integrationBuffer_{};
  long long integrationSum_ = 0;  // sum of the first integrationSumLength_ entries
  int integrationSumLength_ = 0;
  int gainEighths_ = 8;
  int blockBytes_ = 0;
  int spotCount_ = 1;
  int spotMargin_ = 0;
  int zone1Spot_ = 0;
  int zone2Spot_ = 0;
  QRect innerRect_{0, 0, 1, 1};
  int innerWidth_ = 1;
  int innerHeight_ = 1;
  int levelSpots_ = 0;
  std::atomic<int> peakSpot_{0};
  std::atomic<int> peakCountdown_{0};
  std::atomic<bool> peakMoved_{false};
  std::atomic_flag peakLock_;
  float decayFactor_ = 0.0001f;
  int decayWindow_ = 1;
  int decayPos_ = 0;
  int decayFilled_ = 0;
  long long decaySum_ = 0;
  float decayLevel_ = 0.0f;
  std::array<std::int32_t, kDecayRingSize> decayRing_{};

  TMMDIBCanvas background_;  // the unlit bar, same size and depth as DIB()
  LevelBarComposer composer_;
};

// The meter as placed on forms: adds nothing to TMMCustomLevel.
class TMMLevel : public TMMCustomLevel {
  Q_OBJECT
 public:
  using TMMCustomLevel::TMMCustomLevel;
};

}  // namespace ostrel

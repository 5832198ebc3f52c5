// The level meter's measurement: block peak, multipliers, curves, integration, decay,
// bar mapping, peak hold and fall, property clamps and format checks.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "level_test_support.h"

namespace ostrel {
namespace {

using test::Format;
using test::ManualMeter;
using test::Mono16Peak;
using test::Stereo16;

class LevelModel : public ::testing::Test {
 protected:
  // 16-bit mono, N9, dB bar of 100 spots (200 x 17, no bevel, 1-pixel spots, 1 space).
  void SetUp() override { m->SetPCMFormat(Format(16, 1)); }
  void FeedPeak(int peak) {
    auto block = Mono16Peak(peak);
    m->FeedData(block.data());
  }
  ManualMeter m;
};

// ---- Block peak and overflow -----------------------------------------------------------

struct PeakCase {
  const char* name;
  int bits, channels;
  TMMChannel channel;
  int dcLeft, dcRight;
  std::vector<std::uint8_t> bytes;  // one frame, repeated 50 times
  int expectedPeak;
  bool overflow;
};

std::vector<std::uint8_t> Le16(std::initializer_list<int> samples) {
  std::vector<std::uint8_t> out;
  for (int s : samples) {
    out.push_back(std::uint8_t(s & 0xFF));
    out.push_back(std::uint8_t((s >> 8) & 0xFF));
  }
  return out;
}

TEST(LevelBlockPeak, EveryFormatAndChannelGivesItsPeakAndOverflow) {
  const PeakCase cases[] = {
      {"16 mono -32768", 16, 1, chBoth, 0, 0, Le16({-32768}), 32768, true},
      {"16 mono 32767", 16, 1, chBoth, 0, 0, Le16({32767}), 32767, true},
      {"16 mono 32766", 16, 1, chBoth, 0, 0, Le16({32766}), 32766, false},
      {"16 mono ignores channel", 16, 1, chRight, 0, 0, Le16({-1234}), 1234, false},
      {"16 stereo both averaged", 16, 2, chBoth, 0, 0, Le16({1000, -1000}), 0, false},
      {"16 stereo both odd sum", 16, 2, chBoth, 0, 0, Le16({-1001, 0}), 500, false},
      {"16 stereo left", 16, 2, chLeft, 0, 0, Le16({-32768, 5}), 32768, true},
      {"16 stereo right", 16, 2, chRight, 0, 0, Le16({-32768, 700}), 700, false},
      {"16 mono DC", 16, 1, chBoth, 100, 0, Le16({1100}), 1000, false},
      {"16 stereo right DC", 16, 2, chRight, 0, -50, Le16({0, 1000}), 1050, false},
      {"16 stereo both DC", 16, 2, chBoth, 10, 20, Le16({1000, 1000}), 985, false},
      {"8 mono 0", 8, 1, chBoth, 0, 0, {0}, 32768, true},
      {"8 mono 255", 8, 1, chBoth, 0, 0, {255}, 32512, false},
      {"8 mono 128 silent", 8, 1, chBoth, 0, 0, {128}, 0, false},
      {"8 stereo both", 8, 2, chBoth, 0, 0, {200, 100}, 22 * 256, false},
      // (0 - 2 + 1) div 2 is 0 (toward zero), not -1.
      {"8 stereo both truncates", 8, 2, chBoth, 2, 0, {0, 1}, 128 * 256, true},
      {"8 stereo left", 8, 2, chLeft, 0, 0, {138, 0}, 10 * 256, false},
      {"8 stereo right DC", 8, 2, chRight, 0, 28, {0, 100}, 56 * 256, false},
  };
  for (const PeakCase& c : cases) {
    ManualMeter m;
    m->SetPCMFormat(Format(c.bits, c.channels));
    m->SetChannel(c.channel);
    m->SetDCOffsetL(c.dcLeft);
    m->SetDCOffsetR(c.dcRight);
    int overflows = 0;
    m->SetOnPcmOverflow([&](QObject* sender) {
      EXPECT_EQ(sender, m.meter.get());
      ++overflows;
    });
    std::vector<std::uint8_t> block;
    for (int i = 0; i < 50; ++i) block.insert(block.end(), c.bytes.begin(), c.bytes.end());
    ASSERT_EQ(int(block.size()), m->BlockBytes()) << c.name;
    m->FeedData(block.data());
    EXPECT_EQ(m->BlockPeak(), c.expectedPeak) << c.name;
    EXPECT_EQ(overflows, c.overflow ? 1 : 0) << c.name;
  }
}

TEST_F(LevelModel, PeakIsTheLargestMagnitudeOverAllFrames) {
  std::vector<std::int16_t> block(50, 10);
  block[49] = -3000;
  block[0] = 2999;
  m->FeedData(block.data());
  EXPECT_EQ(m->BlockPeak(), 3000);
}

// ---- Formats -----------------------------------------------------------------------------

TEST(LevelFormat, InvalidFormatsRaiseAndKeepTheOldFormat) {
  TPCMWaveFormat notPcm = Format(16, 2);
  notPcm.wFormatTag = 3;
  const TPCMWaveFormat bad[] = {
      Format(24, 2), Format(16, 3), Format(16, 2, 3999), Format(16, 2, 100001), Format(12, 1),
      Format(16, 0), notPcm};
  for (const TPCMWaveFormat& f : bad) {
    ManualMeter m;
    m->SetPCMFormat(Format(16, 2));
    try {
      m->SetPCMFormat(f);
      ADD_FAILURE() << "accepted " << f.wBitsPerSample << " bits, " << f.nChannels << " channels, "
                    << f.nSamplesPerSec << " Hz";
    } catch (const EMMLevelError& e) {
      EXPECT_STREQ(e.what(), "Invalid WaveFormat");
    }
    EXPECT_EQ(m->BitLength(), b16Bit);
    EXPECT_EQ(m->Mode(), mStereo);
  }
}

TEST(LevelFormat, AcceptedFormatsSetBitLengthModeAndBlockBytes) {
  struct Case {
    TPCMWaveFormat format;
    TMMBits bits;
    int mode;
    int blockBytes;
  } cases[] = {{Format(16, 2, 100000), b16Bit, 1, 200},
               {Format(8, 1, 4000), b8Bit, 0, 50},
               {Format(16, 4), b16Bit, 3, 400},
               {Format(8, 2), b8Bit, 1, 100}};
  for (const Case& c : cases) {
    ManualMeter m;
    m->SetPCMFormat(c.format);
    EXPECT_EQ(m->BitLength(), c.bits);
    EXPECT_EQ(int(m->Mode()), c.mode);
    EXPECT_EQ(m->BlockBytes(), c.blockBytes);
  }
}

TEST(LevelFormat, FourChannelFramesAreReadAsTheirFirstTwoChannels) {
  ManualMeter m;
  m->SetPCMFormat(Format(16, 4));
  m->SetChannel(chRight);
  std::vector<std::int16_t> block;
  for (int i = 0; i < 50; ++i) block.insert(block.end(), {1, 222, 3333, 4444});
  m->FeedData(block.data());
  EXPECT_EQ(m->BlockPeak(), 222);
}

// ---- Reference multipliers and response curves --------------------------------------------

TEST_F(LevelModel, ReferenceMultipliersScaleTheLevelBeforeTheCurve) {
  struct Case {
    int standard;
    bool r18, r20, r24;
    int peak;
    int shaped;
  } cases[] = {
      {0, true, false, false, 10000, 19425},  // 10000 x 0.707 x 2.74765
      {3, false, false, true, 1000, 3848},    // 1000 x 0.707 x 5.44348
      {2, false, true, false, 1000, 1918},    // 1000 x 0.707 x 2.71344
      {1, true, true, false, 1000, 3087},     // both, one after the other
      {4, true, true, true, 1000, 1000},      // no multipliers outside 0..3
  };
  for (const Case& c : cases) {
    m->MeterStandard = std::uint16_t(c.standard);
    m->Reference18 = c.r18;
    m->Reference20 = c.r20;
    m->Reference24 = c.r24;
    FeedPeak(c.peak);
    EXPECT_EQ(m->BlockPeak(), c.peak);
    EXPECT_EQ(m->ShapedLevel(), c.shaped) << "standard " << c.standard;
  }
}

TEST_F(LevelModel, N9CurveLiftsMinus50DbInto11Spots) {
  m->SetSensitivy(-50);
  ASSERT_EQ(m->SpotCount(), 100);
  FeedPeak(104);  // lifted to 199: Round((20 log10(199/32767) + 50) x 100 / 50) = 11
  EXPECT_EQ(m->ShapedLevel(), 104);
  EXPECT_EQ(m->LevelSpots(), 11);
  FeedPeak(32767);
  EXPECT_EQ(m->LevelSpots(), 100);
}

// A bar so long that neighbouring levels light different spot counts: comparing with a
// meter fed the curve's result directly shows the exact value the curve produced.
class WideBar {
 public:
  WideBar() {
    for (ManualMeter* x : {&a, &b}) {
      (*x)->SetBounds(0, 0, 40000, 3);
      (*x)->SetSpotSpace(0);
      (*x)->SetLogAmp(false);
      (*x)->SetSensitivy(-90);
      (*x)->SetPCMFormat(Format(16, 1));
    }
    b->MeterStandard = 9;  // no curve
  }
  int SpotsFor(int level) {
    b->ResetDisplay();
    b->ApplyLevel(level);
    return b->LevelSpots();
  }
  ManualMeter a, b;
};

TEST(LevelCurves, DirectCurvesOfEveryStandard) {
  struct Case {
    int standard;
    int peak;
    int curved;
  } cases[] = {{0, 20, 20},      {0, 104, 199},  {0, 1000, 1416}, {1, 1000, 95},
               {1, 10000, 2530}, {2, 1000, 230}, {2, 0, 0},       {3, 1000, 101}};
  for (const Case& c : cases) {
    WideBar w;
    w.a->MeterStandard = std::uint16_t(c.standard);
    auto block = Mono16Peak(c.peak);
    w.a->FeedData(block.data());
    EXPECT_EQ(w.a->LevelSpots(), w.SpotsFor(c.curved)) << c.standard << " " << c.peak;
    if (c.curved > 0) {
      EXPECT_NE(w.SpotsFor(c.curved), w.SpotsFor(c.curved + 1));
    }
  }
}

TEST_F(LevelModel, IntegrationCurvesShapeTheAveragedLevel) {
  struct Case {
    int standard;
    int peak;
    int curved;
  } cases[] = {{0, 1000, 1416}, {1, 10000, 2530}, {2, 1000, 1803}, {3, 1000, 276}, {2, 0, 0}};
  for (const Case& c : cases) {
    ManualMeter x;
    x->SetPCMFormat(Format(16, 1));
    x->MeterStandard = std::uint16_t(c.standard);
    x->Integrate = true;
    x->IntegrationLength = 1;
    auto block = Mono16Peak(c.peak);
    x->FeedData(block.data());  // fill phase: no curve
    x->FeedData(block.data());
    EXPECT_EQ(x->ShapedLevel(), c.curved) << "standard " << c.standard;
  }
}

// ---- Integration -------------------------------------------------------------------------

TEST_F(LevelModel, IntegrationFillsThenAveragesAndRefillsWhenTheLengthIsRaised) {
  m->MeterStandard = 9;  // no curve, so the averages are plain
  m->Integrate = true;
  m->IntegrationLength = 5;
  const int fill[] = {1000, 2000, 3000, 4000, 5000};
  const int shaped[] = {0, 1000, 1500, 2000, 2500};  // the newest block is not yet counted
  for (int i = 0; i < 5; ++i) {
    FeedPeak(fill[i]);
    EXPECT_EQ(m->ShapedLevel(), shaped[i]) << "block " << i;
  }
  EXPECT_EQ(m->IntegrationCount(), 5);
  FeedPeak(6000);  // entries move up one place, the new one in front: 6000+1000..4000
  EXPECT_EQ(m->ShapedLevel(), 3200);
  EXPECT_EQ(m->IntegrationCount(), 5);

  m->IntegrationLength = 20;
  for (int i = 0; i < 14; ++i) FeedPeak(4000);
  EXPECT_EQ(m->IntegrationCount(), 19);
  FeedPeak(4000);
  EXPECT_EQ(m->IntegrationCount(), 20);
  // The fill phase writes from entry 5 on, over the block that had just moved there: the
  // last fill block averages 6000 1000 2000 3000 4000 and 14 x 4000.
  EXPECT_EQ(m->ShapedLevel(), (16000 + 14 * 4000) / 19);
  FeedPeak(4000);  // the first average over 20: the new block in front, the newest fill out
  EXPECT_EQ(m->ShapedLevel(), (4000 + 16000 + 14 * 4000) / 20);
  EXPECT_EQ(m->IntegrationCount(), 20);
}

TEST_F(LevelModel, IntegrationLengthOutOfRangeIsKeptInsideTheBuffer) {
  m->MeterStandard = 9;
  m->Integrate = true;
  m->IntegrationLength = 0;  // used as 1
  FeedPeak(1000);
  FeedPeak(3000);
  EXPECT_EQ(m->ShapedLevel(), 3000);
  m->IntegrationLength = 60000;  // used as 300: 299 blocks fill, 300 more replace them all
  for (int i = 0; i < 599; ++i) FeedPeak(2000);
  EXPECT_EQ(m->ShapedLevel(), 2000);
  EXPECT_EQ(m->IntegrationCount(), 300);
}

// ---- Bar mapping, gain and overflow ---------------------------------------------------------

TEST_F(LevelModel, GainOutsideItsRangeIsIgnoredAndMinusEightSilencesTheBar) {
  m->SetGain(40);
  EXPECT_EQ(m->Gain(), 0);
  EXPECT_EQ(m->GainEighths(), 8);
  m->SetGain(-9);
  EXPECT_EQ(m->Gain(), 0);
  m->SetGain(-8);
  EXPECT_EQ(m->GainEighths(), 0);
  int overflows = 0;
  m->SetOnGainOverflow([&](QObject*) { ++overflows; });
  m->ApplyLevel(32767);
  EXPECT_EQ(m->LevelSpots(), 0);
  m->SetGain(32);  // x5: full scale is far over the top
  m->ApplyLevel(32767);
  EXPECT_EQ(m->LevelSpots(), 100);
  EXPECT_EQ(overflows, 1);
}

TEST_F(LevelModel, LinearBarMapsThresholdToBottomAndFullScaleToTop) {
  m->SetLogAmp(false);
  m->SetSensitivy(-20);  // threshold 3276.7
  struct Case {
    int level, spots;
  } cases[] = {{32767, 100}, {3276, 0}, {0, 0}, {18022, 50}, {18021, 50}, {17694, 49}};
  for (const Case& c : cases) {
    m->ApplyLevel(c.level);
    EXPECT_EQ(m->LevelSpots(), c.spots) << c.level;
  }
}

TEST_F(LevelModel, SymmetricBarHalvesThePosition) {
  m->SetLogAmp(false);
  m->SetSensitivy(-20);
  m->SetDirection(dirSymetric);
  m->ApplyLevel(32767);
  EXPECT_EQ(m->LevelSpots(), 50);
  m->ApplyLevel(18022);
  EXPECT_EQ(m->LevelSpots(), 25);
}

TEST_F(LevelModel, ValueWritesThroughTheMappingAndReadsBack) {
  m->SetValue(150);  // clamped to 100
  EXPECT_EQ(m->LevelSpots(), 100);
  EXPECT_EQ(m->Value(), 100);
  m->SetLogAmp(false);
  m->SetValue(50);  // Round(16383.5) = 16384 (ties to even)
  EXPECT_EQ(m->LevelSpots(), 49);
  EXPECT_EQ(m->Value(), 49);
  m->SetLogAmp(true);
  m->SetGain(8);  // Value reads back the input level, before the gain
  m->SetValue(50);
  EXPECT_EQ(m->LevelSpots(), 100);
  EXPECT_EQ(m->Value(), 50);
  m->SetValue(0);
  EXPECT_EQ(m->Value(), 0);
}

TEST(LevelValue, ReadingRoundsHalvesToEven) {
  ManualMeter m;
  m->SetSpotSpace(0);  // 200 spots
  m->SetLogAmp(false);
  m->SetSensitivy(-20);
  struct Case {
    int level, spots, value;
  } cases[] = {{3424, 1, 0}, {4014, 5, 2}, {3866, 4, 2}};  // 0.5 -> 0, 2.5 -> 2, 2 -> 2
  for (const Case& c : cases) {
    m->ApplyLevel(c.level);
    ASSERT_EQ(m->LevelSpots(), c.spots);
    EXPECT_EQ(m->Value(), c.value) << c.spots << " of 200 spots";
  }
}

// ---- Decay -------------------------------------------------------------------------------

TEST(LevelDecay, FactorAndWindowFollowTheDecaySetting) {
  struct Case {
    int decay;
    float factor;
    float tolerance;
    int window;
  } cases[] = {{1, 0.01f, 5e-6f, 1},    {2, 0.1f, 5e-6f, 2},       {4, 0.5623f, 5e-5f, 6},
               {7, 0.9306f, 5e-5f, 12}, {12, 0.99775f, 5e-6f, 22}, {16, 0.99986f, 5e-6f, 30},
               {0, 0.01f, 5e-6f, 1},    {20, 0.99986f, 5e-6f, 30}};
  for (const Case& c : cases) {
    ManualMeter m;
    m->SetDecay(5);  // away from the default, so every case is a change
    m->SetDecay(c.decay);
    EXPECT_NEAR(m->DecayFactor(), c.factor, c.tolerance) << "decay " << c.decay;
    EXPECT_EQ(m->DecayWindow(), c.window) << "decay " << c.decay;
  }
  ManualMeter fresh;
  fresh->SetDecay(1);  // unchanged: the constructor's factor stays
  EXPECT_FLOAT_EQ(fresh->DecayFactor(), 0.0001f);
  EXPECT_EQ(fresh->DecayWindow(), 1);
}

TEST(LevelDecay, ModesCarryTheLevelDown) {
  ManualMeter plain;
  plain->MeterStandard = 9;
  auto spotsFor = [&](int level) {
    plain->ResetDisplay();
    plain->ApplyLevel(level);
    return plain->LevelSpots();
  };
  struct Case {
    TMMDecayMode mode;
    int decay;
    std::vector<int> levels;
    int shownAs;
  } cases[] = {
      {dmStepUp, 1, {32767, 0}, 327},         // 32767 x 0.01
      {dmStepUp, 2, {20000, 0, 0}, 200},      // x 0.1 twice
      {dmStepUp, 2, {20000, 0, 5000}, 5000},  // rises are instant
      {dmExponential, 1, {32767}, 32439},     // 0.99 x 32767
      {dmExponential, 1, {32767, 0}, 324},    // 32439.33 x 0.01
      {dmUniform, 4, {6000, 0}, 3000},        // window 6, two entries
      {dmUniform, 2, {6000, 0, 0}, 0},        // window 2: 6000 has left the ring
      {dmUniform, 2, {6000, 2000, 0}, 1000},
  };
  for (const Case& c : cases) {
    ManualMeter m;
    m->SetDecay(c.decay == 1 ? 2 : 1);
    m->SetDecay(c.decay);
    m->SetDecayMode(c.mode);
    for (int level : c.levels) m->ApplyLevel(level);
    EXPECT_EQ(m->LevelSpots(), spotsFor(c.shownAs))
        << "mode " << int(c.mode) << " last shown as " << c.shownAs;
  }
}

TEST(LevelDecay, SilentMeterWithNothingShownTakesNoDecayStep) {
  ManualMeter m;
  m->SetDecay(2);
  m->SetDecayMode(dmUniform);  // window 2
  m->ApplyLevel(0);            // returns at once: the ring does not advance
  m->ApplyLevel(0);
  m->ApplyLevel(8000);
  ManualMeter ref;
  ref->ApplyLevel(8000);
  EXPECT_EQ(m->LevelSpots(), ref->LevelSpots());
}

// ---- Peak hold and fall --------------------------------------------------------------------

TEST_F(LevelModel, MarkerHolds41TicksThenFallsOneSpotEvery20) {
  m->SetPeakDelay(20);
  m->SetPeakSpeed(20);
  FeedPeak(32767);
  ASSERT_EQ(m->PeakSpot(), 100);
  EXPECT_EQ(m->PeakCountdown(), 41);
  FeedPeak(0);
  m.Ticks(40);
  EXPECT_EQ(m->PeakSpot(), 100);
  m.Ticks(1);
  EXPECT_EQ(m->PeakSpot(), 99);
  EXPECT_TRUE(m->PeakMoved());
  m.Ticks(19);
  EXPECT_EQ(m->PeakSpot(), 99);
  m.Ticks(1);
  EXPECT_EQ(m->PeakSpot(), 98);
  FeedPeak(0);  // silence still shows the fall: PeakMoved keeps ApplyLevel going
  EXPECT_FALSE(m->PeakMoved());
}

TEST_F(LevelModel, NewMaximumRestartsTheHold) {
  m->SetPeakSpeed(1);
  FeedPeak(32767);
  m.Ticks(30);
  FeedPeak(32767);  // equal counts as new
  m.Ticks(40);
  EXPECT_EQ(m->PeakSpot(), 100);
  FeedPeak(1000);  // lower: no capture
  m.Ticks(1);
  EXPECT_EQ(m->PeakSpot(), 99);
}

TEST_F(LevelModel, PeakSpeedZeroRemovesTheMarkerInOneStep) {
  m->SetPeakDelay(20);
  FeedPeak(32767);
  m.Ticks(40);
  EXPECT_EQ(m->PeakSpot(), 100);
  m.Ticks(1);
  EXPECT_EQ(m->PeakSpot(), 0);
  EXPECT_EQ(m->PeakCountdown(), 0);
}

TEST_F(LevelModel, LeaveMaxPeakHoldsForTenThousandTicks) {
  m->LeaveMaxPeak = true;
  m->SetPeakSpeed(5);
  FeedPeak(32767);
  EXPECT_EQ(m->PeakCountdown(), 10000);
  m.Ticks(9999);
  EXPECT_EQ(m->PeakSpot(), 100);
  m.Ticks(1);
  EXPECT_EQ(m->PeakSpot(), 99);
  EXPECT_EQ(m->PeakCountdown(), 10000);
}

TEST_F(LevelModel, NoMarkersMeansNoPeakAndAPausedTick) {
  FeedPeak(32767);
  m->SetNumPeaks(0);  // marker stays where it is, but the tick no longer moves it
  EXPECT_EQ(m->PeakCountdown(), 0);
  m.Ticks(100);
  EXPECT_EQ(m->PeakSpot(), 100);
  m->ResetDisplay();
  FeedPeak(32767);
  EXPECT_EQ(m->PeakSpot(), 0);
  EXPECT_EQ(m->LevelSpots(), 100);
}

TEST_F(LevelModel, TickRunsWhenEnabledWithMarkersWhateverTheOrderOfChanges) {
  // Pauses for "no markers" and "disabled" are counted; each is given back once.
  m->SetNumPeaks(0);
  m->SetEnabled(false);
  m->SetNumPeaks(1);
  m.Ticks(1);
  m->SetEnabled(true);
  FeedPeak(32767);
  m.Ticks(41);
  EXPECT_EQ(m->PeakSpot(), 0);

  m->SetEnabled(false);
  m->SetNumPeaks(0);
  m->SetEnabled(true);
  m->SetNumPeaks(2);
  FeedPeak(32767);
  m.Ticks(41);
  EXPECT_EQ(m->PeakSpot(), 0);
}

TEST_F(LevelModel, DisabledMeterIgnoresDataAndPausesItsTick) {
  FeedPeak(20000);
  m->SetPeakSpeed(0);
  m->SetEnabled(false);
  EXPECT_EQ(m->LevelSpots(), 0);
  EXPECT_EQ(m->PeakSpot(), 0);
  FeedPeak(30000);
  EXPECT_EQ(m->BlockPeak(), 20000);
  EXPECT_EQ(m->LevelSpots(), 0);
  m->ApplyLevel(32767);  // a level written while disabled stays until the tick resumes
  m.Ticks(100);
  EXPECT_EQ(m->PeakSpot(), 100);
  m->SetEnabled(true);  // geometry recomputed: level and marker cleared
  EXPECT_EQ(m->PeakSpot(), 0);
  FeedPeak(30000);
  EXPECT_EQ(m->BlockPeak(), 30000);
}

TEST_F(LevelModel, ExplicitlyHiddenMeterIgnoresData) {
  FeedPeak(20000);
  m->hide();
  FeedPeak(30000);
  EXPECT_EQ(m->BlockPeak(), 20000);
  m->setVisible(true);
  FeedPeak(30000);
  EXPECT_EQ(m->BlockPeak(), 30000);
}

TEST_F(LevelModel, ResetDisplayClearsLevelMarkerAndDecay) {
  m->SetDecayMode(dmStepUp);
  m->SetDecay(16);
  FeedPeak(32767);
  m->ResetDisplay();
  EXPECT_EQ(m->LevelSpots(), 0);
  EXPECT_EQ(m->PeakSpot(), 0);
  EXPECT_EQ(m->PeakCountdown(), 0);
  EXPECT_EQ(m->DecayLevel(), 0.0f);
  FeedPeak(100);  // not carried up by the old decay level
  ManualMeter ref;
  ref->ApplyLevel(100);
  EXPECT_EQ(m->LevelSpots(), ref->LevelSpots());
}

// ---- Properties ----------------------------------------------------------------------------

TEST(LevelProperties, OutOfRangeValuesAreClamped) {
  struct Case {
    const char* name;
    std::function<void(TMMLevel&, int)> set;
    std::function<int(const TMMLevel&)> get;
    int written, stored;
  } cases[] = {
      {"Sensitivy", &TMMLevel::SetSensitivy, &TMMLevel::Sensitivy, -100, -90},
      {"Sensitivy", &TMMLevel::SetSensitivy, &TMMLevel::Sensitivy, -3, -9},
      {"Decay", &TMMLevel::SetDecay, &TMMLevel::Decay, 0, 1},
      {"Decay", &TMMLevel::SetDecay, &TMMLevel::Decay, 20, 16},
      {"Samples", &TMMLevel::SetSamples, &TMMLevel::Samples, 0, 1},
      {"Samples", &TMMLevel::SetSamples, &TMMLevel::Samples, 100000, 100000},
      {"SpotSpace", &TMMLevel::SetSpotSpace, &TMMLevel::SpotSpace, -1, 0},
      {"SpotSpace", &TMMLevel::SetSpotSpace, &TMMLevel::SpotSpace, 11, 10},
      {"SpotWidth", &TMMLevel::SetSpotWidth, &TMMLevel::SpotWidth, 0, 1},
      {"SpotWidth", &TMMLevel::SetSpotWidth, &TMMLevel::SpotWidth, 1000, 66},  // 200 div 3
      {"Point1", &TMMLevel::SetPoint1, &TMMLevel::Point1, 0, 1},
      {"Point2", &TMMLevel::SetPoint2, &TMMLevel::Point2, 101, 100},
      {"NumPeaks", &TMMLevel::SetNumPeaks, &TMMLevel::NumPeaks, 6, 5},
      {"NumPeaks", &TMMLevel::SetNumPeaks, &TMMLevel::NumPeaks, -1, 0},
      {"PeakDelay", &TMMLevel::SetPeakDelay, &TMMLevel::PeakDelay, 51, 50},
      {"PeakSpeed", &TMMLevel::SetPeakSpeed, &TMMLevel::PeakSpeed, -1, 0},
      {"PeakSpeed", &TMMLevel::SetPeakSpeed, &TMMLevel::PeakSpeed, 99, 50},
      {"Gain", &TMMLevel::SetGain, &TMMLevel::Gain, 33, 0},
  };
  for (const Case& c : cases) {
    ManualMeter m;
    c.set(*m, c.written);
    EXPECT_EQ(c.get(*m), c.stored) << c.name << " " << c.written;
  }
  ManualMeter m;
  m->SetSamples(7);
  EXPECT_EQ(m->BlockBytes(), 7);
}

TEST(LevelProperties, KindExchangesWidthAndHeight) {
  ManualMeter m;
  m->SetKind(lkVertical);
  EXPECT_EQ(m->width(), 17);
  EXPECT_EQ(m->height(), 200);
  EXPECT_EQ(m->InnerHeight(), 200);
  EXPECT_EQ(m->SpotCount(), 100);
  m->SetBounds(0, 0, 30, 20);  // already wider than high: horizontal keeps it
  m->SetKind(lkHorizontal);
  EXPECT_EQ(m->width(), 30);
  EXPECT_EQ(m->SpotCount(), 15);
}

TEST(LevelGeometry, SpotsMarginAndZonesFollowTheBar) {
  struct Case {
    int width, height;
    bool bevel;
    TMMLevelKind kind;
    int spotWidth, spotSpace, point1, point2;
    int count, margin, zone1, zone2;
  } cases[] = {
      {18, 736, true, lkVertical, 1, 0, 56, 70, 734, 0, 411, 513},
      {100, 5, false, lkHorizontal, 3, 1, 50, 85, 25, 0, 12, 21},
      {102, 5, false, lkHorizontal, 3, 1, 50, 85, 25, 1, 12, 21},
      {5, 9, false, lkVertical, 3, 0, 50, 85, 3, 0, 1, 2},
      {2, 5, false, lkHorizontal, 1, 1, 50, 85, 1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    ManualMeter m;
    m->SetKind(c.kind);
    m->SetBounds(0, 0, c.width, c.height);
    if (c.bevel) m->Bevel()->SetBevelOuter(bvRaised);
    m->SetSpotSpace(c.spotSpace);
    m->SetSpotWidth(c.spotWidth);
    m->SetPoint1(c.point1);
    m->SetPoint2(c.point2);
    EXPECT_EQ(m->SpotCount(), c.count) << c.width << "x" << c.height;
    EXPECT_EQ(m->SpotMargin(), c.margin) << c.width << "x" << c.height;
    EXPECT_EQ(m->Zone1Spot(), c.zone1);
    EXPECT_EQ(m->Zone2Spot(), c.zone2);
  }
  ManualMeter m;
  m->Bevel()->SetBevelOuter(bvRaised);
  m->Bevel()->SetBorderWidth(2);
  EXPECT_EQ(m->InnerRect(), QRect(3, 3, 194, 11));
}

// ---- dB text -----------------------------------------------------------------------------

TEST(LevelDbText, FormatsTwoDecimalsAndMinusInfForSilence) {
  struct Case {
    double level, reference, offset;
    const char* text;
  } cases[] = {{16384, 32768, 0, "-6.02"},  {32768, 32768, 0, "0.00"}, {0, 32768, 0, "-Inf"},
               {-16384, 32768, 0, "-6.02"}, {10, 0, 0, "20.00"},       {16384, 32768, 3, "-3.02"},
               {1, 32768, 0, "-90.31"}};
  for (const Case& c : cases)
    EXPECT_EQ(TMMLevel::LevelToDbText(c.level, c.reference, c.offset).toStdString(), c.text);
}

}  // namespace
}  // namespace ostrel

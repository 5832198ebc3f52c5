// The processing chain: links both ways, refused loops, the wave format travelling down,
// format copies, and the chain walks of sound devices.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "audio/MMDSPObj.h"
#include "audio_test_support.h"

namespace ostrel {
namespace {

using Log = std::vector<std::string>;

// Logs every chain notification it hears, with its BufferSize at that moment.
template <typename Base>
class Recorder : public Base {
 public:
  Recorder(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
  void Opened() override {
    log_.push_back(name_ + " Opened " + std::to_string(this->BufferSize()));
    Base::Opened();
  }
  void Closed() override {
    Note("Closed", [this] { Base::Closed(); });
  }
  void Started() override {
    Note("Started", [this] { Base::Started(); });
  }
  void Paused() override {
    Note("Paused", [this] { Base::Paused(); });
  }
  void Restarted() override {
    Note("Restarted", [this] { Base::Restarted(); });
  }
  void Stopped() override {
    Note("Stopped", [this] { Base::Stopped(); });
  }

 private:
  // A sound device logs after its walk, so the log shows the order of the walk.
  template <typename F>
  void Note(const char* what, F base) {
    if (this->IsSoundDevice()) {
      base();
      log_.push_back(name_ + " " + what);
    } else {
      log_.push_back(name_ + " " + what);
      base();
    }
  }
  Log& log_;
  std::string name_;
};
using Element = Recorder<TMMDSPComponent>;
using Device = Recorder<TMMCustomSoundComponent>;

TEST(ChainLinks, LinkBothWaysAndMoveALink) {
  Log log;
  Element a(log, "a"), b(log, "b"), c(log, "c");
  a.SetOutput(&b);
  EXPECT_EQ(b.Input(), &a);
  EXPECT_EQ(a.OutputPropertyName().toStdString(), "Input");
  EXPECT_EQ(b.InputPropertyName().toStdString(), "Output");
  // Setting b's input to c takes b away from a.
  b.SetInput(&c);
  EXPECT_EQ(c.Output(), &b);
  EXPECT_EQ(b.Input(), &c);
  EXPECT_EQ(a.Output(), nullptr);
  // Unlinking clears both ends.
  c.SetOutput(nullptr);
  EXPECT_EQ(b.Input(), nullptr);
  EXPECT_EQ(c.Output(), nullptr);
}

TEST(ChainLinks, LoopsAndImpossibleLinksAreRefusedSilently) {
  Log log;
  Element a(log, "a"), b(log, "b"), c(log, "c");
  a.SetOutput(&b);
  b.SetOutput(&c);
  c.SetOutput(&a);  // a lies upstream of c
  EXPECT_EQ(c.Output(), nullptr);
  EXPECT_EQ(a.Input(), nullptr);
  a.SetInput(&c);  // c lies downstream of a
  EXPECT_EQ(a.Input(), nullptr);
  a.SetOutput(&a);
  EXPECT_EQ(a.Output(), &b);
  // A capture component publishes no Input: it cannot be anyone's output.
  test::SimRig rig;
  auto w = rig.MakeWaveIn();
  c.SetOutput(w.get());
  EXPECT_EQ(c.Output(), nullptr);
  EXPECT_EQ(w->Input(), nullptr);
}

TEST(ChainLinks, DestroyedElementIsForgotten) {
  Log log;
  Element a(log, "a");
  {
    Element b(log, "b");
    a.SetOutput(&b);
  }
  EXPECT_EQ(a.Output(), nullptr);
}

TEST(ChainFormats, FormatTravelsDownAsCopies) {
  test::SimRig rig;
  auto w = rig.MakeWaveIn();
  TMMConnector c;
  w->SetOutput(&c);
  ASSERT_NE(c.WaveFormat(), nullptr);
  EXPECT_NE(c.WaveFormat(), w->WaveFormat());
  EXPECT_EQ(c.WaveFormat()->nAvgBytesPerSec, 176400u);
  w->SetSampleRate(48000);
  EXPECT_EQ(c.WaveFormat()->nAvgBytesPerSec, 192000u);
  w->SetOutput(nullptr);
  EXPECT_EQ(c.WaveFormat(), nullptr);  // told "no format" when unlinked
}

TEST(ChainFormats, CopiesHaveExactlyTheRecordSize) {
  TWaveFormatEx pcm = MakePCMFormat(2, 16, 44100);
  pcm.cbSize = 7;  // ignored for PCM
  EXPECT_EQ(WaveFormatSize(pcm), 18);
  EXPECT_EQ(CopyWaveFormat(&pcm)->cbSize, 0);

  alignas(4) std::uint8_t raw[22] = {};
  TWaveFormatEx adpcm = MakePCMFormat(1, 4, 8000);
  adpcm.wFormatTag = 2;
  adpcm.cbSize = 4;
  std::memcpy(raw, &adpcm, sizeof adpcm);
  const std::uint8_t extra[4] = {1, 2, 3, 4};
  std::memcpy(raw + 18, extra, 4);
  auto* record = reinterpret_cast<TWaveFormatEx*>(raw);
  EXPECT_EQ(WaveFormatSize(*record), 22);
  PWaveFormat copy = CopyWaveFormat(record);
  EXPECT_EQ(copy->cbSize, 4);
  EXPECT_EQ(std::memcmp(reinterpret_cast<std::uint8_t*>(copy.get()) + 18, extra, 4), 0);
  EXPECT_EQ(CopyWaveFormat(nullptr), nullptr);
}

TEST(ChainFormats, ValidPcmRule) {
  struct Case {
    int tag, channels, bits, rate;
    bool valid;
  };
  const std::vector<Case> cases = {
      {1, 2, 16, 44100, true},  {1, 1, 8, 4000, true},     {1, 4, 16, 100000, true},
      {1, 2, 16, 3999, false},  {1, 2, 16, 100001, false}, {1, 3, 16, 44100, false},
      {1, 8, 16, 44100, false}, {1, 2, 12, 44100, false},  {2, 2, 16, 44100, false},
  };
  for (const Case& c : cases) {
    TWaveFormatEx f = MakePCMFormat(c.channels, c.bits, c.rate);
    f.wFormatTag = std::uint16_t(c.tag);
    EXPECT_EQ(IsValidPCMFormat(&f), c.valid)
        << c.tag << "/" << c.channels << "/" << c.bits << "/" << c.rate;
  }
  EXPECT_FALSE(IsValidPCMFormat(nullptr));
  const TWaveFormatEx f = MakePCMFormat(2, 16, 48000);
  EXPECT_EQ(f.nBlockAlign, 4);
  EXPECT_EQ(f.nAvgBytesPerSec, 192000u);
  EXPECT_EQ(PCMPart(f).nAvgBytesPerSec, 192000u);
}

TEST(ChainWalks, EveryNotificationReachesTheChainOnceInWalkOrder) {
  Log log;
  Device s(log, "S");
  Element r1(log, "r1");
  Device d(log, "D");
  Element r2(log, "r2");
  s.SetOutput(&r1);
  r1.SetOutput(&d);
  d.SetOutput(&r2);
  const TWaveFormatEx f = MakePCMFormat(2, 16, 44100);
  s.SetWaveFormat(&f);
  s.SetBufferSize(2050);
  log.clear();

  s.Opened();
  // Each element gets the size of the device that tells it, just before it is told.
  EXPECT_EQ(log, (Log{"S Opened 2050", "r1 Opened 2050", "D Opened 2050", "r2 Opened 2050"}));
  EXPECT_TRUE(d.SoundDeviceUpstream());
  EXPECT_FALSE(s.SoundDeviceUpstream());
  EXPECT_EQ(r1.BufferSize(), 2048);  // its open size: whole blocks
  log.clear();
  s.Started();
  EXPECT_EQ(log, (Log{"r1 Started", "r2 Started", "D Started", "S Started"}));
  log.clear();
  // Stopped and Closed tell the next sound device first.
  s.Stopped();
  EXPECT_EQ(log, (Log{"r2 Stopped", "D Stopped", "r1 Stopped", "S Stopped"}));
  log.clear();
  s.Closed();
  EXPECT_EQ(log, (Log{"r2 Closed", "D Closed", "r1 Closed", "S Closed"}));
}

TEST(ChainWalks, ElementsAboveTheDeviceAreToldFromTheTop) {
  Log log;
  Element top(log, "top");
  Device s(log, "S");
  Element below(log, "below");
  top.SetOutput(&s);
  s.SetOutput(&below);
  log.clear();
  s.Paused();
  EXPECT_EQ(log, (Log{"top Paused", "below Paused", "S Paused"}));
}

TEST(ChainWalks, CaptureComponentTellsItsConnectorOnce) {
  test::SimRig rig;
  auto w = rig.MakeWaveIn();
  Log log;
  Element c(log, "conn");
  w->SetOutput(&c);
  w->SetBufferSize(2050);
  w->Start();
  w->Pause();
  w->Restart();
  w->Close();
  EXPECT_EQ(log, (Log{"conn Opened 2050", "conn Started", "conn Paused", "conn Restarted",
                      "conn Stopped", "conn Closed"}));
}

TEST(ChainHeader, LayoutAndOffsets) {
  alignas(8) std::uint8_t block[60 + 16] = {};
  auto* h = new (block) TWaveHdr();
  h->SetData(block + 60);
  EXPECT_EQ(h->lpData, 60);
  EXPECT_EQ(h->Data(), block + 60);
  EXPECT_EQ(h->Substitute(), nullptr);
  alignas(8) std::uint8_t other[60] = {};
  auto* sub = new (other) TWaveHdr();
  h->SetSubstitute(sub);
  EXPECT_EQ(h->Substitute(), sub);
  EXPECT_EQ(reinterpret_cast<std::uint8_t*>(&h->dwExt[2]) - block, 40);  // third word
}

}  // namespace
}  // namespace ostrel

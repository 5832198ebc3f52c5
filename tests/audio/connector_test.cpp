// The connector: readings of a buffer, real-time pacing against an injected clock, the
// shared pump, enabling, stopping, pausing with the silence feed, and its error rules.

#include <gtest/gtest.h>

#include <QThread>

#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "audio_test_support.h"
#include "platform/ExceptionReport.h"

namespace ostrel {
namespace {

using test::Settle;

// 2048 bytes of 16-bit stereo (512 frames); frames of reading k (50 frames each) carry
// left = 100 (k + 1) and right = -(50 (k + 1)), so a meter's BlockPeak names the reading.
std::vector<std::uint8_t> NumberedBuffer(int bytes = 2048, int scale = 1) {
  std::vector<std::uint8_t> data(std::size_t(bytes), 0);
  for (int frame = 0; frame < bytes / 4; ++frame) {
    const int k = frame / 50;
    const std::int16_t l = std::int16_t(100 * (k + 1) * scale);
    const std::int16_t r = std::int16_t(-50 * (k + 1) * scale);
    std::memcpy(&data[std::size_t(frame) * 4], &l, 2);
    std::memcpy(&data[std::size_t(frame) * 4 + 2], &r, 2);
  }
  return data;
}

class ConnectorTest : public ::testing::Test {
 protected:
  TickService ticks{TickService::Mode::kManual};
  TMMLevel left{nullptr, ticks};
  TMMLevel right{nullptr, ticks};
  std::unique_ptr<TMMConnector> c;
  std::int64_t now = 1'000'000;

  void SetUp() override {
    TMMConnectorService::SetManualPump(true);
    left.SetChannel(chLeft);
    right.SetChannel(chRight);
    c = MakeConnector();
  }
  void TearDown() override {
    c.reset();
    TMMConnectorService::SetMessageStep({});
    TMMConnectorService::SetManualPump(false);
  }

  std::unique_ptr<TMMConnector> MakeConnector(bool withMeters = true) {
    auto k = std::make_unique<TMMConnector>(nullptr, ticks);
    k->SetClock([this] { return now; });
    const TWaveFormatEx f = MakePCMFormat(2, 16, 44100);
    k->SetWaveFormat(&f);
    if (withMeters) {
      k->SetLevel1(&left);
      k->SetLevel2(&right);
    }
    return k;
  }

  // What the chain walk of a capture start does, then the start message.
  static void OpenAndStart(TMMConnector& k) {
    k.SetBufferSize(2048);
    k.Opened();
    k.Started();
    Settle();
  }

  // The reading each meter shows now: k + 1 for reading k, 0 for none.
  int LeftReading() const { return left.BlockPeak() / 100; }
  int RightReading() const { return right.BlockPeak() / 50; }
};

TEST_F(ConnectorTest, A2048ByteBufferGivesTenReadingsAtOffsets0To1800) {
  c->SetSynchronize(false);
  OpenAndStart(*c);
  ASSERT_TRUE(c->Running());
  ASSERT_EQ(left.BlockBytes(), 200);
  const auto data = NumberedBuffer();
  c->ProcessData(data.data(), int(data.size()));
  std::vector<int> readings, positions;
  for (int i = 0; i < 12; ++i) {
    c->DoTrigger();
    readings.push_back(LeftReading());
    positions.push_back(c->LevelPosition());
    EXPECT_EQ(RightReading(), LeftReading()) << "both meters get the same reading";
  }
  // Offsets 0, 200, ... 1800; the last 48 bytes are never shown.
  EXPECT_EQ(readings, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 10}));
  EXPECT_EQ(positions[9], 2000);
  EXPECT_FALSE(c->LevelPending());
}

TEST_F(ConnectorTest, EachReadingWaitsForItsRealTimePosition) {
  OpenAndStart(*c);
  const std::int64_t arrival = now;
  const auto data = NumberedBuffer();
  c->ProcessData(data.data(), int(data.size()));
  EXPECT_EQ(c->ArrivalTime(), arrival);
  // Trunc(1 000 000 x offset / 176400) microseconds after arrival, offset = 200 k.
  const std::vector<std::int64_t> due = {0, 1133, 2267, 3401, 4535, 5668, 6802, 7936, 9070, 10204};
  for (int k = 0; k < 10; ++k) {
    if (due[k] > 0) {
      now = arrival + due[k] - 1;
      c->DoTrigger();
      EXPECT_EQ(LeftReading(), k) << "reading " << k << " delivered early";
    }
    now = arrival + due[k];
    c->DoTrigger();
    EXPECT_EQ(LeftReading(), k + 1) << "reading " << k << " not delivered when due";
  }
}

TEST_F(ConnectorTest, ANewBufferRestartsAtOffsetZero) {
  c->SetSynchronize(false);
  OpenAndStart(*c);
  const auto first = NumberedBuffer();
  c->ProcessData(first.data(), int(first.size()));
  for (int i = 0; i < 3; ++i) c->DoTrigger();
  EXPECT_EQ(LeftReading(), 3);
  const auto second = NumberedBuffer(2048, 10);  // readings 1000, 2000, ...
  c->ProcessData(second.data(), int(second.size()));
  EXPECT_EQ(c->LevelPosition(), 0);
  c->DoTrigger();
  EXPECT_EQ(left.BlockPeak(), 1000);
}

TEST_F(ConnectorTest, ShortAndOverlongBuffers) {
  c->SetSynchronize(false);
  OpenAndStart(*c);
  const auto shortData = NumberedBuffer(196);
  c->ProcessData(shortData.data(), int(shortData.size()));
  c->DoTrigger();
  EXPECT_EQ(left.BlockPeak(), 0);
  EXPECT_FALSE(c->LevelPending());
  const auto longData = NumberedBuffer(4096);
  c->ProcessData(longData.data(), int(longData.size()));
  EXPECT_EQ(c->DataLength(), 2048);
  for (int i = 0; i < 15; ++i) c->DoTrigger();
  EXPECT_EQ(LeftReading(), 10);
}

TEST_F(ConnectorTest, NothingIsTakenWhileStoppedOrDisabled) {
  const auto data = NumberedBuffer();
  c->ProcessData(data.data(), int(data.size()));  // never started
  EXPECT_EQ(c->DataLength(), 0);
  OpenAndStart(*c);
  c->Stopped();
  c->ProcessData(data.data(), int(data.size()));
  EXPECT_EQ(c->DataLength(), 0);
  EXPECT_EQ(c->DisplayData(), nullptr);
}

TEST_F(ConnectorTest, TheSharedPumpDeliversToEveryRunningConnector) {
  TMMLevel l2{nullptr, ticks}, r2{nullptr, ticks};
  l2.SetChannel(chLeft);
  auto other = MakeConnector(false);
  other->SetLevel1(&l2);
  other->SetLevel2(&r2);
  c->SetSynchronize(false);
  other->SetSynchronize(false);
  OpenAndStart(*c);
  OpenAndStart(*other);
  auto* service = TMMConnectorService::Instance();
  ASSERT_NE(service, nullptr);
  EXPECT_EQ(service->MessageDrivenCount(), 2);
  EXPECT_TRUE(service->PumpRequested());
  const auto data = NumberedBuffer();
  c->ProcessData(data.data(), int(data.size()));
  other->ProcessData(data.data(), int(data.size()));
  service->RunPump();
  service->RunPump();
  EXPECT_EQ(LeftReading(), 2);
  EXPECT_EQ(l2.BlockPeak(), 200);
  EXPECT_TRUE(service->PumpRequested());  // re-armed while connectors run
  c->Stopped();
  other->Stopped();
  EXPECT_EQ(service->MessageDrivenCount(), 0);
  service->RunPump();
  EXPECT_FALSE(service->PumpRequested());  // nothing runs: the pump rests
}

TEST_F(ConnectorTest, SpeedSetsHowOftenThePumpLetsMessagesThrough) {
  int steps = 0;
  TMMConnectorService::SetMessageStep([&] { ++steps; });
  OpenAndStart(*c);
  auto* service = TMMConnectorService::Instance();
  service->RunPump();
  EXPECT_EQ(steps, 1);
  steps = 0;
  c->SetSpeed(0);
  EXPECT_EQ(c->Speed(), 1);
  EXPECT_EQ(service->MaxSpeed(), 1);
  service->RunPump();
  EXPECT_EQ(steps, 5000);
  c->SetSpeed(9000);
  EXPECT_EQ(c->Speed(), 5000);
}

TEST_F(ConnectorTest, AFailingDeliveryIsReportedAndHaltsThePumpUntilTheNextStart) {
  std::vector<std::string> reported;
  auto old = SetExceptionReporter(
      [&](std::exception_ptr e) { reported.push_back(ExceptionText(e).toStdString()); });
  left.SetOnPcmOverflow([](QObject*) { throw EMMLevelError("meter broke"); });
  c->SetSynchronize(false);
  OpenAndStart(*c);
  const auto loud = test::StereoFrames(512, 32767, 0);
  c->ProcessData(loud.data(), int(loud.size()));
  auto* service = TMMConnectorService::Instance();
  service->RunPump();
  EXPECT_EQ(reported, std::vector<std::string>{"meter broke"});
  EXPECT_FALSE(service->PumpRequested());
  // Another connector's start posts the pump anew.
  auto other = MakeConnector(false);
  OpenAndStart(*other);
  EXPECT_TRUE(service->PumpRequested());
  SetExceptionReporter(old);
}

TEST_F(ConnectorTest, EnabledFalseResetsTheMetersAndStopsDelivery) {
  c->SetSynchronize(false);
  OpenAndStart(*c);
  const auto loud = NumberedBuffer(2048, 30);
  c->ProcessData(loud.data(), int(loud.size()));
  c->DoTrigger();
  c->DoTrigger();
  ASSERT_GT(left.LevelSpots(), 0);
  c->SetEnabled(false);
  EXPECT_EQ(left.LevelSpots(), 0);
  EXPECT_EQ(right.LevelSpots(), 0);
  EXPECT_FALSE(c->Running());
  EXPECT_EQ(TMMConnectorService::Instance()->MessageDrivenCount(), 0);
  const int before = left.BlockPeak();
  c->DoTrigger();
  EXPECT_EQ(left.BlockPeak(), before);
  c->SetEnabled(true);
  EXPECT_FALSE(c->Running());  // through the start message
  Settle();
  EXPECT_TRUE(c->Running());
  EXPECT_EQ(TMMConnectorService::Instance()->MessageDrivenCount(), 1);
  c->ProcessData(loud.data(), int(loud.size()));
  TMMConnectorService::Instance()->RunPump();
  EXPECT_EQ(left.BlockPeak(), 3000);
}

TEST_F(ConnectorTest, RefreshOnStopDecidesWhetherTheMetersAreReset) {
  for (bool refresh : {true, false}) {
    TMMLevel l{nullptr, ticks};
    l.SetChannel(chLeft);
    auto k = MakeConnector(false);
    k->SetLevel1(&l);
    k->SetSynchronize(false);
    k->SetRefreshOnStop(refresh);
    OpenAndStart(*k);
    const auto loud = NumberedBuffer(2048, 30);
    k->ProcessData(loud.data(), int(loud.size()));
    k->DoTrigger();
    const int spots = l.LevelSpots();
    ASSERT_GT(spots, 0);
    k->Stopped();
    EXPECT_FALSE(k->Active());
    EXPECT_EQ(l.LevelSpots(), refresh ? 0 : spots) << "RefreshOnStop " << refresh;
  }
}

TEST_F(ConnectorTest, WithoutRealTimeEachBufferShowsItsFirstReadingAtOnce) {
  c->SetRealTime(false);
  c->SetSynchronize(false);
  OpenAndStart(*c);
  EXPECT_FALSE(c->Running());  // no start message without RealTime
  const auto data = NumberedBuffer();
  c->ProcessData(data.data(), int(data.size()));
  EXPECT_EQ(LeftReading(), 1);
  c->Trigger();  // the pump's method: Trigger is not for it
  EXPECT_EQ(LeftReading(), 1);
  c->SetTriggerMethod(tmTimer);
  c->Trigger();
  EXPECT_EQ(LeftReading(), 2);
}

TEST_F(ConnectorTest, RealTimeCannotChangeWhileOpen) {
  c->SetBufferSize(2048);
  c->Opened();
  try {
    c->SetRealTime(false);
    FAIL() << "no error";
  } catch (const EMMConnectorError& e) {
    EXPECT_STREQ(e.what(), "Change to property while device was open");
  }
  EXPECT_TRUE(c->RealTime());
  c->Closed();
  c->SetRealTime(false);
  EXPECT_FALSE(c->RealTime());
}

TEST_F(ConnectorTest, MeterSlots) {
  auto k = MakeConnector(false);
  TMMLevel only{nullptr, ticks};
  only.SetChannel(chRight);
  only.SetSamples(25);  // 100-byte readings
  k->SetLevel2(&only);
  k->SetLevel1(&only);  // already the second meter: ignored
  EXPECT_EQ(k->Level1(), nullptr);
  k->SetSynchronize(false);
  OpenAndStart(*k);
  const auto data = NumberedBuffer();
  k->ProcessData(data.data(), int(data.size()));
  int readings = 0;
  for (int i = 0; i < 30; ++i) {
    k->DoTrigger();
    if (k->LevelPending()) ++readings;
  }
  EXPECT_EQ(readings, 20);  // 2048 / 100
  {
    TMMLevel gone{nullptr, ticks};
    k->SetLevel1(&gone);
  }
  EXPECT_EQ(k->Level1(), nullptr);  // a destroyed meter leaves its slot
}

TEST_F(ConnectorTest, FormatChangesReachTheMeters) {
  const TWaveFormatEx mono8 = MakePCMFormat(1, 8, 11025);
  c->SetWaveFormat(&mono8);
  EXPECT_EQ(left.BitLength(), b8Bit);
  EXPECT_EQ(left.Mode(), mMono);
  EXPECT_EQ(c->SilenceByte(), 0x80);
  const TWaveFormatEx stereo16 = MakePCMFormat(2, 16, 48000);
  c->SetWaveFormat(&stereo16);
  EXPECT_EQ(right.BitLength(), b16Bit);
  EXPECT_EQ(right.Mode(), mStereo);
  EXPECT_EQ(c->SilenceByte(), 0);
  const TWaveFormatEx three = MakePCMFormat(3, 16, 48000);
  EXPECT_THROW(c->SetWaveFormat(&three), EMMLevelError);
}

TEST_F(ConnectorTest, TriggerFromAnotherThreadIsPostedOnce) {
  c->SetAutoTrigger(false);
  c->SetSynchronize(false);
  OpenAndStart(*c);
  ASSERT_TRUE(c->Running());
  const auto data = NumberedBuffer();
  c->ProcessData(data.data(), int(data.size()));
  std::thread t([this] {
    c->Trigger();
    c->Trigger();  // one is pending already: ignored
  });
  t.join();
  EXPECT_EQ(c->PendingTriggers(), 1);
  EXPECT_EQ(left.BlockPeak(), 0);  // nothing delivered off the GUI thread
  Settle();
  EXPECT_EQ(c->PendingTriggers(), 0);
  EXPECT_EQ(LeftReading(), 1);
}

TEST_F(ConnectorTest, PausedConnectorIsFedSilenceFromTheTick) {
  c->SetSynchronize(false);
  OpenAndStart(*c);
  const auto loud = NumberedBuffer(2048, 30);
  c->ProcessData(loud.data(), int(loud.size()));
  c->DoTrigger();
  ASSERT_EQ(left.BlockPeak(), 3000);
  c->Paused();
  EXPECT_NE(c->SilenceFeed(), kNoTick);
  c->ProcessData(loud.data(), int(loud.size()));  // ignored while paused
  ticks.RunPeriod();                              // 2048 bytes = 11 ms, raised to 25
  c->DoTrigger();
  EXPECT_EQ(left.BlockPeak(), 0);
  EXPECT_EQ(c->LevelPosition(), 200);
  c->Restarted();
  EXPECT_EQ(c->SilenceFeed(), kNoTick);
  EXPECT_FALSE(c->LevelPending());
  c->ProcessData(loud.data(), int(loud.size()));
  c->DoTrigger();
  EXPECT_EQ(left.BlockPeak(), 3000);
}

TEST_F(ConnectorTest, SubstituteHeaderIsReadWhenSynchronizing) {
  c->SetSynchronize(false);
  OpenAndStart(*c);
  alignas(8) std::uint8_t a[60 + 2048] = {}, b[60 + 2048] = {};
  auto* ha = new (a) TWaveHdr();
  auto* hb = new (b) TWaveHdr();
  ha->SetData(a + 60);
  hb->SetData(b + 60);
  const auto quiet = NumberedBuffer();
  const auto loud = NumberedBuffer(2048, 10);
  std::memcpy(a + 60, quiet.data(), 2048);
  std::memcpy(b + 60, loud.data(), 2048);
  ha->dwBytesRecorded = hb->dwBytesRecorded = 2048;
  ha->SetSubstitute(hb);
  c->BufferReady(ha);  // Synchronize off: its own data
  c->DoTrigger();
  EXPECT_EQ(left.BlockPeak(), 100);
  c->SetSynchronize(true);
  c->BufferReady(ha);  // Synchronize on: the substitute's data
  c->DoTrigger();
  EXPECT_EQ(left.BlockPeak(), 1000);
}

}  // namespace
}  // namespace ostrel

namespace ostrel {
namespace {

TEST_F(ConnectorTest, AnEventLoopInsideThePumpsMessageStepStillDelivers) {
  c->SetSynchronize(false);
  OpenAndStart(*c);
  auto* service = TMMConnectorService::Instance();
  const auto data = NumberedBuffer();
  c->ProcessData(data.data(), int(data.size()));
  int steps = 0, nestedReading = -1;
  TMMConnectorService::SetMessageStep([&] {
    ++steps;
    if (steps == 1) {
      // A handler opens its own event loop (a dialog, a device wait) and the pump's timer
      // fires inside it: that cycle delivers without a message step of its own.
      service->RunPump();
      nestedReading = LeftReading();
    }
  });
  service->RunPump();
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(nestedReading, 1);
  EXPECT_EQ(LeftReading(), 2);  // and the outer cycle goes on
  EXPECT_TRUE(service->PumpRequested());
}

TEST_F(ConnectorTest, IdleHandlerLivesWhileMessageDrivenConnectorsRun) {
  TMMConnector::SetEnterIdle(true);
  OpenAndStart(*c);
  auto* service = TMMConnectorService::Instance();
  EXPECT_TRUE(service->IdleInstalled());
  c->Stopped();
  EXPECT_FALSE(service->IdleInstalled());
  TMMConnector::SetEnterIdle(false);
  OpenAndStart(*c);
  EXPECT_FALSE(service->IdleInstalled());
}

TEST_F(ConnectorTest, AStartMessageTwiceCountsTheConnectorOnce) {
  OpenAndStart(*c);
  c->SetEnabled(false);
  c->SetEnabled(true);
  c->SetEnabled(false);
  c->SetEnabled(true);  // two start messages queued
  Settle();
  EXPECT_EQ(TMMConnectorService::Instance()->MessageDrivenCount(), 1);
  c->Stopped();
  EXPECT_EQ(TMMConnectorService::Instance()->MessageDrivenCount(), 0);
}

}  // namespace
}  // namespace ostrel

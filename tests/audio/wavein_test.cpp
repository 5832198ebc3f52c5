// Capture component through the simulated audio system: the state table with the platform
// calls it makes, error texts, property rules, deferred stop, record limit and Close.

#include <gtest/gtest.h>
#include <QThread>

#include <functional>
#include <string>
#include <vector>

#include "audio_test_support.h"
#include "platform/ExceptionReport.h"

namespace ostrel {
namespace {

using test::Settle;
using test::SimRig;
using Calls = std::vector<std::string>;

Calls Repeat(const std::string& call, int n) {
  return Calls(std::size_t(n), call);
}
Calls Join(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

std::string Message(const std::function<void()>& f) {
  try {
    f();
  } catch (const EMMWaveInError& e) {
    return e.what();
  }
  return "(no error)";
}

class WaveInTest : public ::testing::Test {
 protected:
  SimRig rig;
};

// ---- State table ----------------------------------------------------------------------------

TEST_F(WaveInTest, StateTableWithItsPlatformCalls) {
  auto w = rig.MakeWaveIn(2);
  const Calls openCalls =
      Join({{"waveInOpen query", "waveInOpen"}, Repeat("waveInPrepareHeader", 2)});
  const Calls closeCalls =
      Join({{"waveInStop", "waveInReset"}, Repeat("waveInUnprepareHeader", 2), {"waveInClose"}});
  struct Step {
    const char* what;
    std::function<void(TMMWaveIn&)> op;
    TMMWaveInStates state;
    Calls calls;
  };
  const std::vector<Step> steps = {
      {"Open from closed", [](TMMWaveIn& x) { x.Open(); }, wiOpened, openCalls},
      {"Start from opened", [](TMMWaveIn& x) { x.Start(); }, wiOpened | wiStarted,
       Join({Repeat("waveInAddBuffer", 2), {"waveInStart"}})},
      {"Start again does nothing", [](TMMWaveIn& x) { x.Start(); }, wiOpened | wiStarted, {}},
      {"Pause while started",
       [](TMMWaveIn& x) { x.Pause(); },
       wiOpened | wiStarted | wiPaused,
       {"waveInStop"}},
      {"Restart", [](TMMWaveIn& x) { x.Restart(); }, wiOpened | wiStarted, {"waveInStart"}},
      {"Stop", [](TMMWaveIn& x) { x.Stop(); }, wiOpened, {"waveInStop", "waveInReset"}},
      {"Pause while only open", [](TMMWaveIn& x) { x.Pause(); }, wiOpened | wiPaused, {}},
      {"Start while paused queues without starting", [](TMMWaveIn& x) { x.Start(); },
       wiOpened | wiStarted | wiPaused, Repeat("waveInAddBuffer", 2)},
      {"Restart starts", [](TMMWaveIn& x) { x.Restart(); }, wiOpened | wiStarted, {"waveInStart"}},
      {"Close while started stops first", [](TMMWaveIn& x) { x.Close(); }, wiClosed,
       Join({{"waveInStop", "waveInReset"}, closeCalls})},
      {"Close on closed", [](TMMWaveIn& x) { x.Close(); }, wiClosed, {}},
      {"Start from closed opens", [](TMMWaveIn& x) { x.Start(); }, wiOpened | wiStarted,
       Join({openCalls, Repeat("waveInAddBuffer", 2), {"waveInStart"}})},
      {"Stop", [](TMMWaveIn& x) { x.Stop(); }, wiOpened, {"waveInStop", "waveInReset"}},
      {"Open while open closes first", [](TMMWaveIn& x) { x.Open(); }, wiOpened,
       Join({closeCalls, openCalls})},
  };
  rig.TakeCalls();
  for (const Step& s : steps) {
    s.op(*w);
    Settle();
    EXPECT_EQ(w->State(), s.state) << s.what;
    EXPECT_EQ(rig.TakeCalls(), s.calls) << s.what;
  }
  w->Close();
  EXPECT_EQ(w->Allocator().InUse(), 0);
}

TEST_F(WaveInTest, EventsFireAfterTheStateChange) {
  auto w = rig.MakeWaveIn();
  std::vector<std::string> seen;
  auto note = [&](const char* name) {
    return [&seen, name, &w](QObject*) {
      seen.push_back(std::string(name) + ":" + std::to_string(w->State()));
    };
  };
  w->OnOpen = note("open");
  w->OnStart = note("start");
  w->OnPause = note("pause");
  w->OnRestart = note("restart");
  w->OnStop = note("stop");
  w->OnClose = note("close");
  w->Start();
  w->Pause();
  w->Restart();
  w->Close();
  const auto s = [](int v) { return std::to_string(v); };
  EXPECT_EQ(seen,
            (std::vector<std::string>{"open:" + s(wiOpened), "start:" + s(wiOpened | wiStarted),
                                      "pause:" + s(wiOpened | wiStarted | wiPaused),
                                      "restart:" + s(wiOpened | wiStarted), "stop:" + s(wiOpened),
                                      "close:" + s(wiClosed)}));
}

TEST_F(WaveInTest, PoolKeepsItsBlocksAcrossCloseAndOpen) {
  auto w = rig.MakeWaveIn(5);
  w->Start();
  EXPECT_EQ(w->Allocator().InUse(), 5);
  TWaveHdr* first = w->Header(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Data(), reinterpret_cast<std::uint8_t*>(first) + 60);
  EXPECT_EQ(first->dwBufferLength, 2048u);
  w->Close();
  EXPECT_EQ(w->Allocator().InUse(), 0);
  EXPECT_EQ(w->Header(0), nullptr);
  w->Start();
  EXPECT_EQ(w->Allocator().BlockCount(), 5u);  // reused, none new
  w->Close();
  w->SetBufferSize(4096);  // a new size empties the pool
  EXPECT_EQ(w->Allocator().BlockCount(), 0u);
}

// ---- Failures and their texts ----------------------------------------------------------------

TEST_F(WaveInTest, EveryFailureRaisesItsTextAndLeavesTheDeviceClosed) {
  const std::string lfcr = "\n\r";
  struct Case {
    const char* what;
    std::function<void(SimRig&, TMMWaveIn&)> setup;
    std::function<void(TMMWaveIn&)> op;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"device cannot record the format",
       [](SimRig& r, TMMWaveIn&) { r.sim->DeviceAt(0).queryError = WAVERR_BADFORMAT; },
       [](TMMWaveIn& w) { w.Open(); },
       "WaveInOpen:" + lfcr + "The actual device can''t record this format"},
      {"open refused by the device",
       [](SimRig& r, TMMWaveIn&) { r.sim->DeviceAt(0).openError = MMSYSERR_ALLOCATED; },
       [](TMMWaveIn& w) { w.Start(); },
       "WaveInOpen:" + lfcr + "The specified device is already in use."},
      {"open notice never comes",
       [](SimRig& r, TMMWaveIn&) {
         r.sim->DeviceAt(0).openNotice = SimulatedWaveIn::Notice::kNever;
       },
       [](TMMWaveIn& w) { w.Open(); }, "WaveInOpen:" + lfcr + "Unable to open device"},
      {"prepare fails",
       [](SimRig& r, TMMWaveIn&) { r.sim->FailNext("waveInPrepareHeader", MMSYSERR_NOMEM); },
       [](TMMWaveIn& w) { w.Open(); },
       "WaveInPrepareHeader:" + lfcr + "Not enough memory available for this task."},
      {"queueing fails",
       [](SimRig& r, TMMWaveIn&) { r.sim->FailNext("waveInAddBuffer", MMSYSERR_INVALPARAM); },
       [](TMMWaveIn& w) { w.Start(); },
       "WaveInAddBuffer:" + lfcr + "An invalid parameter was passed to a system function."},
      {"start fails with a code without text",
       [](SimRig& r, TMMWaveIn&) { r.sim->FailNext("waveInStart", SimulatedWaveIn::kTextless); },
       [](TMMWaveIn& w) { w.Start(); },
       "WaveInStart:" + lfcr + "Specified error number is out of range (unknown error)"},
      {"pause fails",
       [](SimRig& r, TMMWaveIn& w) {
         w.Start();
         r.sim->FailNext("waveInStop", MMSYSERR_ERROR);
       },
       [](TMMWaveIn& w) { w.Pause(); }, "WaveInPause:" + lfcr + "Undefined external error."},
      {"restart fails",
       [](SimRig& r, TMMWaveIn& w) {
         w.Start();
         w.Pause();
         r.sim->FailNext("waveInStart", MMSYSERR_ERROR);
       },
       [](TMMWaveIn& w) { w.Restart(); }, "WaveInRestart:" + lfcr + "Undefined external error."},
      {"stop fails",
       [](SimRig& r, TMMWaveIn& w) {
         w.Start();
         r.sim->FailNext("waveInStop", MMSYSERR_ERROR);
       },
       [](TMMWaveIn& w) { w.Stop(); }, "WaveInStop:" + lfcr + "Undefined external error."},
      {"reset fails",
       [](SimRig& r, TMMWaveIn& w) {
         w.Start();
         r.sim->FailNext("waveInReset", MMSYSERR_ERROR);
       },
       [](TMMWaveIn& w) { w.Stop(); }, "WaveInReset:" + lfcr + "Undefined external error."},
      {"device number beyond the list", [](SimRig&, TMMWaveIn& w) { w.SetDeviceID(2); },
       [](TMMWaveIn& w) { w.Open(); }, "Invalid DeviceID"},
  };
  for (const Case& c : cases) {
    SimRig r;
    auto w = r.MakeWaveIn();
    c.setup(r, *w);
    int errors = 0;
    w->OnError = [&](QObject*) { ++errors; };
    EXPECT_EQ(Message([&] { c.op(*w); }), c.text) << c.what;
    EXPECT_EQ(w->State(), wiClosed) << c.what;
    EXPECT_EQ(w->Handle(), 0u) << c.what;
    EXPECT_GE(errors, 1) << c.what;
    EXPECT_TRUE(r.sim->OpenHandles().empty()) << c.what;
    EXPECT_EQ(w->Allocator().InUse(), 0) << c.what;
  }
}

TEST_F(WaveInTest, NoCaptureDeviceAtAll) {
  auto empty = std::make_shared<SimulatedWaveIn>();
  TMMWaveIn w(nullptr, empty);
  EXPECT_EQ(w.NumDevs(), 0);
  EXPECT_EQ(w.ProductName().toStdString(), "No wave audio recording device found");
  EXPECT_EQ(w.DeviceID(), InvalidId);  // 0 is beyond an empty list
  w.SetDeviceID(MapperId);
  EXPECT_EQ(w.DeviceID(), MapperId);  // the default device is always kept
  EXPECT_EQ(Message([&] { w.Open(); }), "No wave audio recording device found");
}

TEST_F(WaveInTest, LateOpenNoticeIsAwaited) {
  rig.sim->DeviceAt(0).openNotice = SimulatedWaveIn::Notice::kHeld;
  auto w = rig.MakeWaveIn();
  rig.waits = 0;
  rig.onWait = [this](int n) {
    if (n == 30) rig.sim->ReleaseHeldNotices(rig.sim->LastHandle());
  };
  w->Open();
  EXPECT_EQ(w->State(), wiOpened);
  EXPECT_EQ(rig.waits, 31);  // the notice arrives inside the 31st wait
}

TEST_F(WaveInTest, CloseNeverRaisesAndTriesAgainLater) {
  auto w = rig.MakeWaveIn();
  w->Start();
  int errors = 0, closes = 0;
  w->OnError = [&](QObject*) { ++errors; };
  w->OnClose = [&](QObject*) { ++closes; };
  rig.sim->FailNext("waveInClose", MMSYSERR_ERROR);
  EXPECT_NO_THROW(w->Close());
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(closes, 0);
  EXPECT_TRUE(w->StateHas(wiOpened));  // kept open with its handle
  EXPECT_NE(w->Handle(), 0u);
  EXPECT_NO_THROW(w->Close());
  EXPECT_EQ(w->State(), wiClosed);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(w->Allocator().InUse(), 0);
}

TEST_F(WaveInTest, MissingCloseNoticeIsReportedButNothingIsLost) {
  rig.sim->DeviceAt(0).closeNotice = SimulatedWaveIn::Notice::kNever;
  auto w = rig.MakeWaveIn();
  w->Start();
  int errors = 0;
  w->OnError = [&](QObject*) { ++errors; };
  rig.waits = 0;
  EXPECT_NO_THROW(w->Close());
  EXPECT_EQ(rig.waits, 1 + 100);  // one for the stopped buffers, 100 for the notice
  EXPECT_EQ(errors, 1);           // "WaveInClose:" LF CR "Unable to close device", swallowed
  EXPECT_EQ(w->Handle(), 0u);
  EXPECT_EQ(w->State(), wiClosed);  // the device took the close; only its notice is missing
  EXPECT_EQ(w->Allocator().InUse(), 0);
  // It opens again.
  rig.sim->DeviceAt(0).closeNotice = SimulatedWaveIn::Notice::kPosted;
  w->Start();
  EXPECT_EQ(w->State(), wiOpened | wiStarted);
}

// ---- Properties --------------------------------------------------------------------------------

TEST_F(WaveInTest, PropertyClamps) {
  auto w = rig.MakeWaveIn();
  struct Case {
    const char* what;
    std::function<void(TMMWaveIn&)> set;
    std::function<int(const TMMWaveIn&)> get;
    int expected;
  };
  const std::vector<Case> cases = {
      {"NumBuffers 1 ignored", [](TMMWaveIn& x) { x.SetNumBuffers(1); },
       [](const TMMWaveIn& x) { return x.NumBuffers(); }, 2},
      {"NumBuffers 5000", [](TMMWaveIn& x) { x.SetNumBuffers(5000); },
       [](const TMMWaveIn& x) { return x.NumBuffers(); }, 4096},
      {"BufferSize 10", [](TMMWaveIn& x) { x.SetBufferSize(10); },
       [](const TMMWaveIn& x) { return x.BufferSize(); }, 32},
      {"Channels 0", [](TMMWaveIn& x) { x.SetChannels(0); },
       [](const TMMWaveIn& x) { return x.Channels(); }, 1},
      {"Channels 9", [](TMMWaveIn& x) { x.SetChannels(9); },
       [](const TMMWaveIn& x) { return x.Channels(); }, 8},
      {"SampleRate 7000", [](TMMWaveIn& x) { x.SetSampleRate(7000); },
       [](const TMMWaveIn& x) { return x.SampleRate(); }, 8000},
      {"SampleRate 200000", [](TMMWaveIn& x) { x.SetSampleRate(200000); },
       [](const TMMWaveIn& x) { return x.SampleRate(); }, 100000},
      {"Mode mMultiChannel changes nothing",
       [](TMMWaveIn& x) {
         x.SetChannels(2);
         x.SetMode(mMultiChannel);
       },
       [](const TMMWaveIn& x) { return x.Channels(); }, 2},
      {"Mode of 3 channels", [](TMMWaveIn& x) { x.SetChannels(3); },
       [](const TMMWaveIn& x) { return int(x.Mode()); }, int(mMultiChannel)},
      {"DeviceID one beyond the list", [](TMMWaveIn& x) { x.SetDeviceID(2); },
       [](const TMMWaveIn& x) { return x.DeviceID(); }, InvalidId},
      {"DeviceID -2 given", [](TMMWaveIn& x) { x.SetDeviceID(-2); },
       [](const TMMWaveIn& x) { return x.DeviceID(); }, InvalidId},
      {"DeviceID -1", [](TMMWaveIn& x) { x.SetDeviceID(-1); },
       [](const TMMWaveIn& x) { return x.DeviceID(); }, MapperId},
  };
  for (const Case& c : cases) {
    c.set(*w);
    EXPECT_EQ(c.get(*w), c.expected) << c.what;
  }
}

TEST_F(WaveInTest, DeviceNameComesFromTheDevice) {
  auto w = rig.MakeWaveIn();
  EXPECT_EQ(w->ProductName().toStdString(), "Sim Mic A");
  w->SetDeviceID(1);
  EXPECT_EQ(w->ProductName().toStdString(), "Sim Line B");
  w->SetDeviceID(7);
  EXPECT_EQ(w->ProductName().toStdString(), "No wave audio recording device found");
}

TEST_F(WaveInTest, FormatRecordFollowsTheProperties) {
  auto w = rig.MakeWaveIn();
  const TWaveFormatEx* f = w->WaveFormat();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->nBlockAlign, 4);
  EXPECT_EQ(f->nAvgBytesPerSec, 176400u);
  w->SetSampleRate(48000);
  EXPECT_EQ(w->WaveFormat()->nAvgBytesPerSec, 192000u);
  // A valid PCM record set directly is copied into the properties.
  const TWaveFormatEx mono8 = MakePCMFormat(1, 8, 22050);
  w->SetWaveFormat(&mono8);
  EXPECT_EQ(w->Channels(), 1);
  EXPECT_EQ(w->BitLength(), b8Bit);
  EXPECT_EQ(w->SampleRate(), 22050);
}

TEST_F(WaveInTest, PropertiesRaiseWhenOpen) {
  auto w = rig.MakeWaveIn();
  w->Open();
  const std::string text = "Change to property while device was open";
  EXPECT_EQ(Message([&] { w->SetDeviceID(0); }), text);  // even the same value
  EXPECT_EQ(w->DeviceID(), 0);
  EXPECT_EQ(Message([&] { w->SetCallBackMode(cmWindow); }), text);
  EXPECT_EQ(Message([&] { w->SetBufferSize(4096); }), text);
  EXPECT_EQ(Message([&] { w->SetNumBuffers(8); }), text);
  EXPECT_EQ(Message([&] { w->SetChannels(1); }), text);
  EXPECT_EQ(Message([&] { w->SetBitLength(b8Bit); }), text);
  EXPECT_EQ(Message([&] { w->SetSampleRate(48000); }), text);
  // Unchanged values pass without a word.
  EXPECT_EQ(Message([&] { w->SetSampleRate(44100); }), "(no error)");
  EXPECT_EQ(Message([&] { w->SetChannels(2); }), "(no error)");
  EXPECT_EQ(Message([&] { w->SetNumBuffers(2); }), "(no error)");
  EXPECT_EQ(w->SampleRate(), 44100);
  EXPECT_EQ(w->NumBuffers(), 2);
  EXPECT_TRUE(w->StateHas(wiOpened));
}

TEST_F(WaveInTest, BufferSizeIsCutToWholeBlocksWhileOpen) {
  auto w = rig.MakeWaveIn();
  w->SetBufferSize(2050);
  w->Open();
  EXPECT_EQ(w->BufferSize(), 2048);
  EXPECT_EQ(w->Header(0)->dwBufferLength, 2048u);
  w->Close();
  EXPECT_EQ(w->BufferSize(), 2050);
}

TEST_F(WaveInTest, FormatCheckUsesTheAdvertisedBits) {
  struct Case {
    int rate, channels;
    TMMBits bits;
    std::uint32_t advertised;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {44100, 2, b16Bit, 0x800, true},  {48000, 2, b16Bit, 0x800, true},
      {22050, 2, b16Bit, 0x800, false}, {22050, 2, b16Bit, 0x080, true},
      {11025, 1, b8Bit, 0x001, true},   {11025, 1, b8Bit, 0x002, false},
      {8000, 2, b16Bit, 0x008, true},   {22051, 1, b16Bit, 0x400, true},
      {96000, 2, b16Bit, 0x000, true},  // outside 8000..48000: no bit test
      {44100, 4, b16Bit, 0x000, true},  // four channels: no bit test
  };
  for (const Case& c : cases) {
    SimRig r;
    r.sim->DeviceAt(0).formats = c.advertised;
    auto w = r.MakeWaveIn();
    w->SetSampleRate(c.rate);
    w->SetChannels(c.channels);
    w->SetBitLength(c.bits);
    const std::string got = Message([&] { w->Open(); });
    EXPECT_EQ(got == "(no error)", c.accepted) << c.rate << " Hz " << c.channels << " ch " << got;
    w->Close();
  }
}

TEST_F(WaveInTest, CallbackModeIsRefusedWithANotice) {
  auto w = rig.MakeWaveIn();
  QString caption, text;
  auto old = SetComponentMessageHandler([&](const QString& c, const QString& t) {
    caption = c;
    text = t;
  });
  w->SetCallBackMode(cmCallback);
  SetComponentMessageHandler(old);
  EXPECT_EQ(w->CallBackMode(), cmWindow);
  EXPECT_EQ(caption.toStdString(), "TMMWaveIn");
  EXPECT_EQ(text.toStdString(),
            "\"CallBacks\" are called at interrupt time !\n\r"
            "This is currently only supported under Windows 95");
}

// ---- Buffers ---------------------------------------------------------------------------------

TEST_F(WaveInTest, FilledBuffersGoDownTheChainAndAreQueuedAgain) {
  auto w = rig.MakeWaveIn(2);
  std::vector<std::uint32_t> bytes;
  std::vector<std::int16_t> firstLeft;
  w->OnBufferReady = [&](QObject*, TWaveHdr* h) {
    bytes.push_back(h->dwBytesRecorded);
    std::int16_t l;
    std::memcpy(&l, h->Data(), 2);
    firstLeft.push_back(l);
  };
  w->Start();
  rig.TakeCalls();
  for (int i = 0; i < 5; ++i) rig.PlayBuffer(w->Handle());
  EXPECT_EQ(bytes, std::vector<std::uint32_t>(5, 2048));
  EXPECT_EQ(firstLeft, std::vector<std::int16_t>(5, 1000));
  EXPECT_EQ(rig.TakeCalls(), Repeat("waveInAddBuffer", 5));
  EXPECT_EQ(w->BuffersOut(), 2);
  EXPECT_EQ(w->BytesRecorded(), 5 * 2048);
  EXPECT_EQ(rig.sim->DroppedFrames(w->Handle()), 0u);
}

TEST_F(WaveInTest, StopInsideTheBufferHandlerCompletesAfterIt) {
  auto w = rig.MakeWaveIn(2);
  int stops = 0;
  TMMWaveInStates stateAfterStopInside = 0;
  w->OnStop = [&](QObject*) { ++stops; };
  w->OnBufferReady = [&](QObject*, TWaveHdr*) {
    w->Stop();
    stateAfterStopInside = w->State();
  };
  w->Start();
  rig.PlayBuffer(w->Handle());
  EXPECT_EQ(stateAfterStopInside, wiOpened | wiStarted);  // still running inside
  EXPECT_EQ(w->State(), wiOpened);                        // done through the posted stop
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(w->BuffersOut(), 0);
  EXPECT_EQ(rig.sim->Outstanding(w->Handle()), 0);
  w->Close();
  EXPECT_EQ(w->Allocator().InUse(), 0);
}

TEST_F(WaveInTest, CloseInsideTheBufferHandlerCompletesAfterTheStop) {
  auto w = rig.MakeWaveIn(2);
  std::vector<std::string> order;
  w->OnStop = [&](QObject*) { order.push_back("stop"); };
  w->OnClose = [&](QObject*) { order.push_back("close"); };
  w->OnBufferReady = [&](QObject*, TWaveHdr*) {
    w->Close();
    order.push_back(w->StateHas(wiOpened) ? "open inside" : "closed inside");
  };
  w->Start();
  rig.PlayBuffer(w->Handle());
  EXPECT_EQ(order, (std::vector<std::string>{"open inside", "stop", "close"}));
  EXPECT_EQ(w->State(), wiClosed);
  EXPECT_TRUE(rig.sim->OpenHandles().empty());
  EXPECT_EQ(w->Allocator().InUse(), 0);
}

TEST_F(WaveInTest, MaxRecordTimeCutsTheBufferThatCrossesTheLimit) {
  auto w = rig.MakeWaveIn(2);
  w->SetTimeFormat(tfMillisecond);
  w->SetMaxRecordTime(1000);
  EXPECT_EQ(w->MaxRecordBytes(), 176400);
  std::vector<std::uint32_t> bytes;
  int stops = 0;
  w->OnBufferReady = [&](QObject*, TWaveHdr* h) { bytes.push_back(h->dwBytesRecorded); };
  w->OnStop = [&](QObject*) { ++stops; };
  w->Start();
  for (int i = 0; i < 90 && w->StateHas(wiStarted); ++i) rig.PlayBuffer(w->Handle());
  ASSERT_EQ(bytes.size(), 87u);  // 86 full buffers of 2048 = 176128 bytes, then the cut one
  EXPECT_EQ(bytes.back(), 272u);
  std::int64_t total = 0;
  for (auto b : bytes) total += b;
  EXPECT_EQ(total, 176400);
  EXPECT_EQ(w->BytesRecorded(), 176400);
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(w->State(), wiOpened);
}

TEST_F(WaveInTest, TimeFormatReexpressesTheLimit) {
  auto w = rig.MakeWaveIn();
  w->SetTimeFormat(tfMillisecond);
  w->SetMaxRecordTime(1000);
  w->SetTimeFormat(tfSample);
  EXPECT_EQ(w->MaxRecordTime(), 44100);
  EXPECT_EQ(w->MaxRecordBytes(), 176400);
  w->SetTimeFormat(tfByte);
  EXPECT_EQ(w->MaxRecordTime(), 176400);
  w->SetMaxRecordTime(1001);  // cut down to whole blocks
  EXPECT_EQ(w->MaxRecordBytes(), 1000);
  w->SetMaxRecordTime(-1);
  EXPECT_EQ(w->MaxRecordBytes(), INT_MAX);
  w->SetTimeFormat(tfMillisecond);
  EXPECT_EQ(w->MaxRecordTime(), -1);  // unlimited stays unlimited
}

TEST_F(WaveInTest, FailureInTheBufferHandlerClosesAndReports) {
  auto w = rig.MakeWaveIn(2);
  std::vector<std::string> reported;
  auto old = SetExceptionReporter(
      [&](std::exception_ptr e) { reported.push_back(ExceptionText(e).toStdString()); });
  w->OnBufferReady = [&](QObject*, TWaveHdr*) { throw EMMWaveInError("handler broke"); };
  w->Start();
  rig.PlayBuffer(w->Handle());
  SetExceptionReporter(old);
  EXPECT_EQ(reported, std::vector<std::string>{"handler broke"});
  EXPECT_EQ(w->State(), wiClosed);
  EXPECT_EQ(w->Allocator().InUse(), 0);
}

TEST_F(WaveInTest, CaptureThreadDeliversOffTheGuiThread) {
  auto w = rig.MakeWaveIn(2);
  w->SetCallBackMode(cmThread);
  std::atomic<int> buffers{0};
  std::atomic<bool> onGui{false};
  w->OnBufferReady = [&](QObject*, TWaveHdr*) {
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) onGui = true;
    ++buffers;
  };
  w->Start();
  for (int i = 0; i < 3; ++i) {
    const int before = buffers;
    rig.sim->Play(w->Handle(), 2048);
    // The thread's turn is not ours to time: wait for its count, pumping the forwarder.
    for (int spin = 0; spin < 100000 && buffers == before; ++spin)
      QCoreApplication::processEvents();
  }
  EXPECT_EQ(buffers, 3);
  EXPECT_FALSE(onGui);
  w->Close();
  EXPECT_EQ(w->State(), wiClosed);
  EXPECT_EQ(w->Allocator().InUse(), 0);
}

}  // namespace
}  // namespace ostrel

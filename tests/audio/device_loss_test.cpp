// A capture device that vanishes while capturing: its pair of meters shows no signal, the
// other inputs keep running, nothing hangs and no buffer is lost from the pool.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio_test_support.h"
#include "platform/ExceptionReport.h"

namespace ostrel {
namespace {

using test::Settle;

struct Input {
  std::unique_ptr<TMMWaveIn> wave;
  std::unique_ptr<TMMConnector> conn;
  std::unique_ptr<TMMLevel> left, right;
};

TEST(DeviceLoss, TheLostInputFallsSilentAndTheOthersKeepRunning) {
  test::SimRig rig;
  rig.sim->DeviceAt(0).source = test::ConstantStereo(20000, 16000);
  rig.sim->DeviceAt(1).source = test::ConstantStereo(12000, 8000);
  TickService ticks(TickService::Mode::kManual);
  std::vector<Input> inputs(2);
  for (int n = 0; n < 2; ++n) {
    Input& in = inputs[std::size_t(n)];
    in.wave = rig.MakeWaveIn(n == 0 ? 2 : 5);
    in.wave->SetDeviceID(n);
    in.conn = std::make_unique<TMMConnector>(nullptr, ticks);
    in.conn->SetSynchronize(false);
    in.left = std::make_unique<TMMLevel>(nullptr, ticks);
    in.right = std::make_unique<TMMLevel>(nullptr, ticks);
    in.left->SetChannel(chLeft);
    in.right->SetChannel(chRight);
    in.wave->SetOutput(in.conn.get());
    in.conn->SetLevel1(in.left.get());
    in.conn->SetLevel2(in.right.get());
    in.wave->Start();
  }
  Settle();
  auto* service = TMMConnectorService::Instance();
  auto playAll = [&] {
    for (Input& in : inputs)
      if (in.wave->Handle()) rig.PlayBuffer(in.wave->Handle());
    service->RunPump();
  };
  playAll();
  ASSERT_EQ(inputs[0].left->BlockPeak(), 20000);
  ASSERT_EQ(inputs[1].right->BlockPeak(), 8000);
  ASSERT_GT(inputs[0].left->LevelSpots(), 0);

  std::vector<std::string> reported;
  auto old = SetExceptionReporter(
      [&](std::exception_ptr e) { reported.push_back(ExceptionText(e).toStdString()); });
  rig.sim->FailDevice(inputs[0].wave->Handle());
  Settle();
  SetExceptionReporter(old);

  EXPECT_EQ(inputs[0].wave->State(), wiClosed);
  EXPECT_EQ(inputs[0].wave->Allocator().InUse(), 0);
  EXPECT_EQ(inputs[0].left->LevelSpots(), 0);
  EXPECT_EQ(inputs[0].right->LevelSpots(), 0);
  EXPECT_EQ(reported,
            std::vector<std::string>{"WaveInAddBuffer:\n\rThe device is no longer available."});

  // The other input goes on as before.
  EXPECT_EQ(inputs[1].wave->State(), wiOpened | wiStarted);
  rig.sim->DeviceAt(1).source = test::ConstantStereo(6000, 3000);
  playAll();
  EXPECT_EQ(inputs[1].left->BlockPeak(), 6000);
  EXPECT_EQ(inputs[1].right->BlockPeak(), 3000);
  EXPECT_EQ(inputs[1].wave->BuffersOut(), 5);
  EXPECT_EQ(service->MessageDrivenCount(), 1);

  // The lost input can be started again once its device is back.
  inputs[0].wave->Start();
  EXPECT_EQ(inputs[0].wave->State(), wiOpened | wiStarted);
  for (Input& in : inputs) in.wave->Close();
}

}  // namespace
}  // namespace ostrel

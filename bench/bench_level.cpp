// Cost of one meter reading: FeedData on 50 frames of 16-bit stereo with a moving signal,
// through block peak, curve, optional integration over 299 blocks, decay-free mapping and
// peak capture. BM_LevelReading's meter is not on screen, so nothing is drawn;
// BM_LevelReadingOnScreen adds patching the off-screen bar after every reading (the copy to
// the screen is left to Qt's coalesced paint and not measured).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "metering/MMLevel.h"
#include "metering/TickService.h"

namespace {

using namespace ostrel;

// 256 readings of a sine whose amplitude sweeps up and down, so the bar and the marker move.
std::vector<std::vector<std::int16_t>> MovingSignal() {
  std::vector<std::vector<std::int16_t>> blocks(256);
  int n = 0;
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    const double amp = 32000.0 * std::fabs(std::sin(double(b) * 0.05));
    for (int i = 0; i < 50; ++i, ++n) {
      const double s = amp * std::sin(double(n) * 0.07);
      blocks[b].push_back(std::int16_t(s));
      blocks[b].push_back(std::int16_t(-0.5 * s));
    }
  }
  return blocks;
}

void Configure(TMMLevel& meter) {
  meter.SetKind(lkVertical);
  meter.SetBounds(0, 0, 18, 736);
  meter.SetSpotSpace(0);
  TPCMWaveFormat format;  // 16-bit stereo, 44100 Hz
  meter.SetPCMFormat(format);
  meter.SetChannel(chLeft);
}

void BM_LevelReading(benchmark::State& state) {
  TickService ticks(TickService::Mode::kManual);
  TMMLevel meter(nullptr, ticks);
  Configure(meter);
  meter.MeterStandard = std::uint16_t(state.range(0));
  meter.Integrate = state.range(1) != 0;
  meter.IntegrationLength = 299;
  const auto blocks = MovingSignal();
  std::size_t i = 0;
  for (auto _ : state) {
    meter.FeedData(blocks[i].data());
    i = (i + 1) & 255;
    benchmark::DoNotOptimize(meter.LevelSpots());
  }
  state.SetLabel(std::string("standard ") + std::to_string(state.range(0)) +
                 (state.range(1) ? ", integrating 299" : ", direct"));
}
BENCHMARK(BM_LevelReading)->ArgsProduct({{0, 1, 2, 3}, {0, 1}});

void BM_LevelReadingOnScreen(benchmark::State& state) {
  TickService ticks(TickService::Mode::kManual);
  TMMLevel meter(nullptr, ticks);
  Configure(meter);
  meter.SetDIBBitCount(int(state.range(0)));
  meter.show();
  const auto blocks = MovingSignal();
  std::size_t i = 0;
  for (auto _ : state) {
    meter.FeedData(blocks[i].data());
    i = (i + 1) & 255;
    benchmark::DoNotOptimize(meter.DIB().Image().constBits());
  }
  state.SetLabel(std::to_string(state.range(0)) + " bits per pixel, 18 x 736");
}
BENCHMARK(BM_LevelReadingOnScreen)->Arg(8)->Arg(24);

}  // namespace

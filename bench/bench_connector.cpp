// Cost of the audio path after capture: 12 connectors, each feeding a left and a right
// meter from 48000 Hz 16-bit stereo buffers of 2048 bytes, through the shared pump (one
// cycle per simulated millisecond, readings paced by an injected clock). The meters are
// not shown, so nothing is drawn. One iteration is one second of audio on all twelve
// inputs: its CPU time is the CPU the program spends per second of sound.

#include <benchmark/benchmark.h>
#include <QCoreApplication>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "audio/MMConect.h"
#include "audio/MMConnectorService.h"
#include "metering/MMLevel.h"
#include "metering/TickService.h"

namespace ostrel {
namespace {

constexpr int kInputs = 12;
constexpr int kRate = 48000;
constexpr int kBufferBytes = 2048;
constexpr int kBytesPerSecond = kRate * 4;
constexpr int kBuffersPerSecond = (kBytesPerSecond + kBufferBytes - 1) / kBufferBytes;  // 94
constexpr std::int64_t kPumpStepUs = 1042;  // one reading of 200 bytes is due every 1041.7 us
constexpr int kPumpsPerBuffer = 10;

void BM_TwelveConnectorsOneSecondOfAudio(benchmark::State& state) {
  TMMConnectorService::SetManualPump(true);
  TickService ticks(TickService::Mode::kManual);
  std::int64_t now = 0;
  std::vector<std::unique_ptr<TMMLevel>> meters;
  std::vector<std::unique_ptr<TMMConnector>> connectors;
  const TWaveFormatEx format = MakePCMFormat(2, 16, kRate);
  for (int i = 0; i < kInputs; ++i) {
    auto c = std::make_unique<TMMConnector>(nullptr, ticks);
    c->SetClock([&now] { return now; });
    c->SetWaveFormat(&format);
    for (TMMChannel ch : {chLeft, chRight}) {
      meters.push_back(std::make_unique<TMMLevel>(nullptr, ticks));
      meters.back()->SetChannel(ch);
      meters.back()->SetKind(lkVertical);
      meters.back()->SetBounds(0, 0, 17, 400);
    }
    c->SetLevel1(meters[meters.size() - 2].get());
    c->SetLevel2(meters.back().get());
    c->SetBufferSize(kBufferBytes);
    c->Opened();
    c->Started();
    connectors.push_back(std::move(c));
  }
  QCoreApplication::processEvents();  // the start messages
  auto* service = TMMConnectorService::Instance();

  // A 997 Hz tone at -6 dBFS on both channels, one second of it in buffers.
  std::vector<std::vector<std::uint8_t>> second(kBuffersPerSecond,
                                                std::vector<std::uint8_t>(kBufferBytes));
  std::int64_t frame = 0;
  for (auto& buffer : second)
    for (int i = 0; i < kBufferBytes / 4; ++i, ++frame) {
      const auto v = std::int16_t(16384 * std::sin(2 * M_PI * 997.0 * double(frame) / kRate));
      std::memcpy(&buffer[std::size_t(i) * 4], &v, 2);
      std::memcpy(&buffer[std::size_t(i) * 4 + 2], &v, 2);
    }

  std::int64_t readings = 0;
  for (auto _ : state) {
    for (const auto& buffer : second) {
      for (auto& c : connectors) c->ProcessData(buffer.data(), kBufferBytes);
      for (int p = 0; p < kPumpsPerBuffer; ++p) {
        service->RunPump();
        now += kPumpStepUs;
      }
      readings += kPumpsPerBuffer * kInputs * 2;
    }
  }
  state.counters["meter_readings"] = double(readings) / double(state.iterations());
  for (auto& c : connectors) c->Stopped();
  connectors.clear();
  TMMConnectorService::SetManualPump(false);
}
BENCHMARK(BM_TwelveConnectorsOneSecondOfAudio)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ostrel

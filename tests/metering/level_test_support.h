#pragma once
// Small builders shared by the level meter tests: a meter on a hand-driven tick, and
// PCM blocks in the formats the meter reads.

#include <cstdint>
#include <memory>
#include <vector>

#include "metering/MMLevel.h"
#include "metering/TickService.h"

namespace ostrel::test {

// A meter whose peak tick only moves when the test runs periods of its own service.
struct ManualMeter {
  ManualMeter() : meter(std::make_unique<TMMLevel>(nullptr, ticks)) {}
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) ticks.RunPeriod();
  }
  TMMLevel* operator->() { return meter.get(); }
  TMMLevel& operator*() { return *meter; }

  TickService ticks{TickService::Mode::kManual};
  std::unique_ptr<TMMLevel> meter;  // destroyed before its tick service
};

inline TPCMWaveFormat Format(int bits, int channels, std::uint32_t rate = 44100) {
  TPCMWaveFormat f;
  f.nChannels = std::uint16_t(channels);
  f.wBitsPerSample = std::uint16_t(bits);
  f.nSamplesPerSec = rate;
  f.nBlockAlign = std::uint16_t(bits / 8 * channels);
  f.nAvgBytesPerSec = rate * f.nBlockAlign;
  return f;
}

// 50 frames of 16-bit stereo, every frame (left, right).
inline std::vector<std::int16_t> Stereo16(std::int16_t left, std::int16_t right, int frames = 50) {
  std::vector<std::int16_t> v;
  for (int i = 0; i < frames; ++i) {
    v.push_back(left);
    v.push_back(right);
  }
  return v;
}

// A 16-bit mono block whose largest magnitude is `peak` (one sample), the rest smaller.
inline std::vector<std::int16_t> Mono16Peak(int peak, int frames = 50) {
  std::vector<std::int16_t> v(frames, std::int16_t(peak / 3));
  v[frames / 2] = std::int16_t(peak);
  return v;
}

}  // namespace ostrel::test

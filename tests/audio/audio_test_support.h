#pragma once
// Shared pieces of the capture and connector tests: a simulated audio system with two
// devices, capture components bound to it whose device waits only pump the event queue,
// and helpers that let the queued notifications arrive.

#include <QCoreApplication>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "audio/MMConect.h"
#include "audio/MMConnectorService.h"
#include "audio/MMWavIn.h"
#include "metering/MMLevel.h"
#include "metering/TickService.h"
#include "platform/SimulatedWaveIn.h"

namespace ostrel::test {

// Lets every queued notification, message and follow-up arrive.
inline void Settle() {
  for (int i = 0; i < 8; ++i) QCoreApplication::processEvents();
}

// Interleaved 16-bit stereo frames: left = l, right = r.
inline std::vector<std::uint8_t> StereoFrames(int frames, std::int16_t l, std::int16_t r) {
  std::vector<std::uint8_t> data(std::size_t(frames) * 4);
  for (int i = 0; i < frames; ++i) {
    std::memcpy(&data[std::size_t(i) * 4], &l, 2);
    std::memcpy(&data[std::size_t(i) * 4 + 2], &r, 2);
  }
  return data;
}

// A source whose left sample is `left` and right sample `right` everywhere.
inline SimulatedWaveIn::Source ConstantStereo(std::int16_t left, std::int16_t right) {
  return [left, right](std::uint8_t* out, std::size_t bytes, std::uint64_t offset) {
    for (std::size_t i = 0; i < bytes; ++i) {
      const std::uint64_t pos = offset + i;
      const std::int16_t v = (pos % 4) < 2 ? left : right;
      out[i] = std::uint8_t(std::uint16_t(v) >> ((pos % 2) * 8));
    }
  };
}

struct SimRig {
  std::shared_ptr<SimulatedWaveIn> sim = std::make_shared<SimulatedWaveIn>();
  int waits = 0;
  std::function<void(int)> onWait;  // runs inside every device wait, after the pump

  SimRig() {
    SimulatedWaveIn::Device a;
    a.name = "Sim Mic A";
    a.source = ConstantStereo(1000, -2000);
    sim->AddDevice(a);
    SimulatedWaveIn::Device b;
    b.name = "Sim Line B";
    b.source = ConstantStereo(3000, 500);
    sim->AddDevice(b);
    TMMConnectorService::SetManualPump(true);
  }
  ~SimRig() { TMMConnectorService::SetManualPump(false); }

  // A capture component as the main window configures it: stereo, 16 bit, 44100 Hz.
  std::unique_ptr<TMMWaveIn> MakeWaveIn(int numBuffers = 2) {
    auto w = std::make_unique<TMMWaveIn>(nullptr, sim);
    w->SetWaitDelay([this](int) {
      ++waits;
      QCoreApplication::processEvents();
      if (onWait) onWait(waits);
    });
    w->SetMode(mStereo);
    w->SetChannels(2);
    w->SetBitLength(b16Bit);
    w->SetSampleRate(44100);
    w->SetNumBuffers(numBuffers);
    return w;
  }

  // Plays one full buffer into every open device and lets it arrive.
  void PlayBuffer(HWAVEIN handle, std::size_t bytes = 2048) {
    sim->Play(handle, bytes);
    Settle();
  }

  // Calls of the simulated system since the last look, then forgets them.
  std::vector<std::string> TakeCalls() {
    std::vector<std::string> c = std::move(sim->calls);
    sim->calls.clear();
    return c;
  }
};

}  // namespace ostrel::test

#pragma once
// Where the alarm player sends a decoded sound: an output device behind a small interface,
// so the player can be tested without a sound card.

#include <atomic>
#include <cstdint>
#include <vector>

namespace ostrel {

// A whole sound in memory: interleaved 32-bit float stereo frames at its own sample rate.
struct TDecodedSound {
  std::vector<float> samples;  // left, right, left, right, ...
  int sampleRate = 0;
  std::int64_t Frames() const { return std::int64_t(samples.size() / 2); }
};

class TAudioSink {
 public:
  virtual ~TAudioSink() = default;
  // Runs on the player's worker thread, never on the GUI thread. Plays the sound on the
  // output device (-1 the default, else a number of WaveOutDevices) until it ends or `stop`
  // becomes true, and returns only then. False when nothing could be played (no such device,
  // a format the device refuses).
  virtual bool Play(int deviceId, const TDecodedSound& sound, const std::atomic<bool>& stop) = 0;
};

}  // namespace ostrel

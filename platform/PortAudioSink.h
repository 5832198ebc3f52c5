#pragma once
// The alarm player's real output: a blocking PortAudio stream on one of the wave-output
// devices (numbered as WaveOutDevices lists them, -1 the default output).

#include "platform/AudioSink.h"

namespace ostrel {

class PortAudioSink : public TAudioSink {
 public:
  bool Play(int deviceId, const TDecodedSound& sound, const std::atomic<bool>& stop) override;
};

}  // namespace ostrel

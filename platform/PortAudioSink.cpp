#include "platform/PortAudioSink.h"

#include <portaudio.h>

#include <algorithm>
#include <vector>

#include "platform/PortAudioSystem.h"
#include "platform/WaveOutDevices.h"

namespace ostrel {

namespace {
constexpr unsigned long kChunkFrames = 1024;
}

bool PortAudioSink::Play(int deviceId, const TDecodedSound& sound, const std::atomic<bool>& stop) {
  if (!PortAudioSystem::Acquire() || sound.Frames() < 1 || sound.sampleRate < 1) return false;
  const int pa = WaveOutDevices::PaDevice(deviceId);
  const PaDeviceInfo* info = pa >= 0 ? Pa_GetDeviceInfo(pa) : nullptr;
  if (!info || info->maxOutputChannels < 1) return false;

  // A mono-only device gets both sides mixed down.
  const int channels = std::min(info->maxOutputChannels, 2);
  PaStreamParameters out{};
  out.device = pa;
  out.channelCount = channels;
  out.sampleFormat = paFloat32;
  out.suggestedLatency = info->defaultHighOutputLatency;
  PaStream* stream = nullptr;
  if (Pa_OpenStream(&stream, nullptr, &out, sound.sampleRate, kChunkFrames, paClipOff, nullptr,
                    nullptr) != paNoError)
    return false;
  if (Pa_StartStream(stream) != paNoError) {
    Pa_CloseStream(stream);
    return false;
  }

  std::vector<float> mono;
  if (channels == 1) mono.resize(kChunkFrames);
  const std::int64_t frames = sound.Frames();
  std::int64_t pos = 0;
  while (pos < frames && !stop.load()) {
    const auto n = static_cast<unsigned long>(std::min<std::int64_t>(kChunkFrames, frames - pos));
    const float* src = sound.samples.data() + pos * 2;
    if (channels == 1) {
      for (unsigned long i = 0; i < n; ++i) mono[i] = 0.5f * (src[2 * i] + src[2 * i + 1]);
      src = mono.data();
    }
    const PaError err = Pa_WriteStream(stream, src, n);
    if (err != paNoError && err != paOutputUnderflowed) break;  // the device went away
    pos += std::int64_t(n);
  }
  if (stop.load())
    Pa_AbortStream(stream);
  else
    Pa_StopStream(stream);  // lets the queued tail play out
  Pa_CloseStream(stream);
  return true;
}

}  // namespace ostrel

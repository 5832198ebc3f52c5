#include "platform/PortAudioWaveIn.h"

#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <string_view>

#include "platform/PortAudioSystem.h"

namespace ostrel {

struct PortAudioStream {
  PaStream* pa = nullptr;
  int device = 0;  // wave-in device number it was opened with
  std::unique_ptr<CaptureStream> capture;
  std::atomic<bool> haltRequested{true};
};

namespace {

MMRESULT FromPa(PaError err) {
  return err == paNoError ? MMSYSERR_NOERROR
                          : PortAudioWaveIn::kPaErrorBase + MMRESULT(-std::int64_t(err));
}

// PortAudio sample format of a PCM record; 0 for one it cannot record.
PaSampleFormat SampleFormatOf(const TWaveFormatEx& f) {
  if (f.wFormatTag != WAVE_FORMAT_PCM) return 0;
  if (f.wBitsPerSample == 8) return paUInt8;
  if (f.wBitsPerSample == 16) return paInt16;
  return 0;
}

PaStreamParameters InputParameters(int paDevice, int channels, PaSampleFormat format) {
  PaStreamParameters p{};
  p.device = paDevice;
  p.channelCount = channels;
  p.sampleFormat = format;
  const PaDeviceInfo* info = Pa_GetDeviceInfo(paDevice);
  p.suggestedLatency = info ? info->defaultLowInputLatency : 0.02;
  p.hostApiSpecificStreamInfo = nullptr;
  return p;
}

// The audio callback: real-time safe, see CaptureStream::Fill.
int Callback(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
             PaStreamCallbackFlags, void* user) {
  static_cast<PortAudioStream*>(user)->capture->FillFrames(input, frames);
  return paContinue;
}

// PortAudio ends a stream by itself only when its device failed or went away.
void Finished(void* user) {
  auto* s = static_cast<PortAudioStream*>(user);
  if (!s->haltRequested.load(std::memory_order_acquire)) s->capture->MarkFailed();
}

}  // namespace

PortAudioWaveIn::PortAudioWaveIn() = default;

PortAudioWaveIn::~PortAudioWaveIn() {
  for (auto& [handle, s] : streams_) {
    s->haltRequested = true;
    Pa_AbortStream(s->pa);
    Pa_CloseStream(s->pa);
  }
}

std::shared_ptr<PortAudioWaveIn> PortAudioWaveIn::Shared() {
  static const auto shared = std::make_shared<PortAudioWaveIn>();
  return shared;
}

std::vector<int> PortAudioWaveIn::InputDevices() {
  std::vector<int> devices;
  if (!PortAudioSystem::Acquire()) return devices;
  const int count = Pa_GetDeviceCount();
  for (int i = 0; i < count; ++i) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
    if (info && info->maxInputChannels > 0) devices.push_back(i);
  }
  return devices;
}

int PortAudioWaveIn::PaDevice(int device) {
  if (!PortAudioSystem::Acquire()) return -1;
  if (device == -1) {
    const PaDeviceIndex d = Pa_GetDefaultInputDevice();
    return d == paNoDevice ? -1 : d;
  }
  const auto devices = InputDevices();
  if (device < 0 || device >= int(devices.size())) return -1;
  return devices[device];
}

std::uint32_t PortAudioWaveIn::waveInGetNumDevs() {
  std::lock_guard lock(mutex_);
  return std::uint32_t(InputDevices().size());
}

std::uint32_t PortAudioWaveIn::FormatBits(int paDevice) {
  // Each question opens the device briefly, so ask once per device: a busy device would
  // answer "no" later although it can record.
  if (auto it = formatBits_.find(paDevice); it != formatBits_.end()) return it->second;
  static constexpr double kRates[3] = {11025, 22050, 44100};
  const PaDeviceInfo* info = Pa_GetDeviceInfo(paDevice);
  std::uint32_t bits = 0;
  for (int group = 0; group < 3; ++group)
    for (int stereo = 0; stereo < 2; ++stereo)
      for (int sixteen = 0; sixteen < 2; ++sixteen) {
        if (!info || info->maxInputChannels < stereo + 1) continue;
        const PaStreamParameters p =
            InputParameters(paDevice, stereo + 1, sixteen ? paInt16 : paUInt8);
        if (Pa_IsFormatSupported(&p, nullptr, kRates[group]) == paFormatIsSupported)
          bits |= StandardFormatBit(group, stereo, sixteen);
      }
  formatBits_[paDevice] = bits;
  return bits;
}

MMRESULT PortAudioWaveIn::waveInGetDevCaps(int device, TWaveInCaps* caps, std::uint32_t size) {
  std::lock_guard lock(mutex_);
  if (!caps || size < sizeof(TWaveInCaps)) return MMSYSERR_INVALPARAM;
  if (!PortAudioSystem::Acquire()) return FromPa(PortAudioSystem::InitError());
  const int pa = PaDevice(device);
  if (pa < 0) return MMSYSERR_BADDEVICEID;
  const PaDeviceInfo* info = Pa_GetDeviceInfo(pa);
  if (!info) return MMSYSERR_BADDEVICEID;
  *caps = TWaveInCaps{};
  SetCapsName(*caps, info->name);
  caps->dwFormats = FormatBits(pa);
  caps->wChannels = std::uint16_t(std::clamp(info->maxInputChannels, 0, 0xFFFF));
  return MMSYSERR_NOERROR;
}

MMRESULT PortAudioWaveIn::waveInGetErrorText(MMRESULT code, char* text, std::uint32_t size) {
  if (code > kPaErrorBase && code < kPaErrorBase + 20000) {
    const char* paText = Pa_GetErrorText(PaError(-std::int64_t(code - kPaErrorBase)));
    // PortAudio names codes it does not know "Invalid error code".
    if (paText && std::string_view(paText) != "Invalid error code")
      return CopyErrorText(paText, text, size);
    return MMSYSERR_BADERRNUM;
  }
  return CopyErrorText(StandardWaveInErrorText(code), text, size);
}

MMRESULT PortAudioWaveIn::waveInOpen(HWAVEIN* handle, int device, const TWaveFormatEx* format,
                                     QObject* target, std::uint32_t flags) {
  std::lock_guard lock(mutex_);
  if (!format) return MMSYSERR_INVALPARAM;
  if (!PortAudioSystem::Acquire()) return FromPa(PortAudioSystem::InitError());
  const int pa = PaDevice(device);
  if (pa < 0) return MMSYSERR_BADDEVICEID;
  const PaSampleFormat sampleFormat = SampleFormatOf(*format);
  if (sampleFormat == 0 || format->nChannels == 0 || format->nBlockAlign == 0)
    return WAVERR_BADFORMAT;
  const PaStreamParameters params = InputParameters(pa, format->nChannels, sampleFormat);
  const double rate = format->nSamplesPerSec;
  if (flags & WAVE_FORMAT_QUERY) {
    const PaError err = Pa_IsFormatSupported(&params, nullptr, rate);
    return err == paFormatIsSupported ? MMSYSERR_NOERROR : FromPa(err);
  }
  if (!handle) return MMSYSERR_INVALPARAM;

  auto s = std::make_unique<Stream>();
  s->device = device;
  const HWAVEIN h = nextHandle_++;  // never reused, so late notifications of a closed
                                    // device cannot be mistaken for a new one's
  s->capture = std::make_unique<CaptureStream>(h, target, format->nBlockAlign);
  const PaError err = Pa_OpenStream(&s->pa, &params, nullptr, rate, paFramesPerBufferUnspecified,
                                    paNoFlag, &Callback, s.get());
  if (err != paNoError) return FromPa(err);
  Pa_SetStreamFinishedCallback(s->pa, &Finished);
  s->capture->Notify(WIM_OPEN);
  *handle = h;
  streams_.emplace(h, std::move(s));
  return MMSYSERR_NOERROR;
}

PortAudioWaveIn::Stream* PortAudioWaveIn::Find(HWAVEIN handle) const {
  auto it = streams_.find(handle);
  return it == streams_.end() ? nullptr : it->second.get();
}

MMRESULT PortAudioWaveIn::Halt(Stream& s) {
  s.haltRequested = true;
  if (s.capture->Failed() || Pa_IsStreamStopped(s.pa) == 1) return MMSYSERR_NOERROR;
  const PaError err = Pa_StopStream(s.pa);
  // A stream that died on its way down is stopped all the same.
  return err == paNoError || s.capture->Failed() ? MMSYSERR_NOERROR : FromPa(err);
}

MMRESULT PortAudioWaveIn::waveInClose(HWAVEIN handle) {
  std::lock_guard lock(mutex_);
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (s->capture->Outstanding() > 0) return WAVERR_STILLPLAYING;
  s->haltRequested = true;
  const PaError err = Pa_CloseStream(s->pa);
  if (err != paNoError && !s->capture->Failed()) return FromPa(err);
  s->capture->Notify(WIM_CLOSE);
  streams_.erase(handle);
  return MMSYSERR_NOERROR;
}

MMRESULT PortAudioWaveIn::waveInAddBuffer(HWAVEIN handle, TWaveHdr* header, std::uint32_t size) {
  std::lock_guard lock(mutex_);
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (size < kWaveHdrBaseSize) return MMSYSERR_INVALPARAM;
  return s->capture->Add(header);
}

MMRESULT PortAudioWaveIn::waveInStart(HWAVEIN handle) {
  std::lock_guard lock(mutex_);
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (s->capture->Failed()) return MMSYSERR_NODRIVER;
  if (Pa_IsStreamActive(s->pa) == 1) return MMSYSERR_NOERROR;
  s->haltRequested = false;
  const PaError err = Pa_StartStream(s->pa);
  if (err != paNoError) s->haltRequested = true;
  return FromPa(err);
}

MMRESULT PortAudioWaveIn::waveInStop(HWAVEIN handle) {
  std::lock_guard lock(mutex_);
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  const MMRESULT r = Halt(*s);
  s->capture->ReturnPartial();
  return r;
}

MMRESULT PortAudioWaveIn::waveInReset(HWAVEIN handle) {
  std::lock_guard lock(mutex_);
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  const MMRESULT r = Halt(*s);
  // Even when PortAudio could not stop cleanly, the buffers come back: they belong to the
  // caller's pool.
  s->capture->ReturnAll();
  return r;
}

MMRESULT PortAudioWaveIn::waveInGetPosition(HWAVEIN handle, std::uint32_t* bytes) {
  std::lock_guard lock(mutex_);
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (!bytes) return MMSYSERR_INVALPARAM;
  *bytes = std::uint32_t(s->capture->BytesCaptured());
  return MMSYSERR_NOERROR;
}

MMRESULT PortAudioWaveIn::waveInGetID(HWAVEIN handle, std::uint32_t* device) {
  std::lock_guard lock(mutex_);
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (!device) return MMSYSERR_INVALPARAM;
  *device = std::uint32_t(s->device);
  return MMSYSERR_NOERROR;
}

std::uint64_t PortAudioWaveIn::DroppedFrames(HWAVEIN handle) const {
  std::lock_guard lock(mutex_);
  const Stream* s = Find(handle);
  return s ? s->capture->DroppedFrames() : 0;
}

}  // namespace ostrel

#include "platform/SimulatedWaveIn.h"

namespace ostrel {

int SimulatedWaveIn::AddDevice(Device device) {
  devices_.push_back(std::move(device));
  return int(devices_.size()) - 1;
}

MMRESULT SimulatedWaveIn::Enter(const std::string& op) {
  std::lock_guard lock(mutex_);
  calls.push_back(op);
  auto it = failNext_.find(op);
  if (it == failNext_.end()) return MMSYSERR_NOERROR;
  const MMRESULT code = it->second;
  failNext_.erase(it);
  return code;
}

int SimulatedWaveIn::Resolve(int device) const {
  if (device == -1) device = defaultDevice_;
  return device >= 0 && device < int(devices_.size()) ? device : -1;
}

SimulatedWaveIn::Stream* SimulatedWaveIn::Find(HWAVEIN handle, bool includeClosed) const {
  std::lock_guard lock(mutex_);
  auto it = streams_.find(handle);
  if (it == streams_.end() || (it->second->closed && !includeClosed)) return nullptr;
  return it->second.get();
}

MMRESULT SimulatedWaveIn::waveInGetDevCaps(int device, TWaveInCaps* caps, std::uint32_t size) {
  if (!caps || size < sizeof(TWaveInCaps)) return MMSYSERR_INVALPARAM;
  const int d = Resolve(device);
  if (d < 0) return MMSYSERR_BADDEVICEID;
  if (devices_[d].capsError) return devices_[d].capsError;
  *caps = TWaveInCaps{};
  SetCapsName(*caps, devices_[d].name.c_str());
  caps->dwFormats = devices_[d].formats;
  caps->wChannels = 2;
  return MMSYSERR_NOERROR;
}

MMRESULT SimulatedWaveIn::waveInGetErrorText(MMRESULT code, char* text, std::uint32_t size) {
  if (code == kTextless) return MMSYSERR_BADERRNUM;
  const char* known = StandardWaveInErrorText(code);
  if (!known) {
    const std::string made = "Simulated error " + std::to_string(code);
    return CopyErrorText(made.c_str(), text, size);
  }
  return CopyErrorText(known, text, size);
}

MMRESULT SimulatedWaveIn::waveInOpen(HWAVEIN* handle, int device, const TWaveFormatEx* format,
                                     QObject* target, std::uint32_t flags) {
  const bool query = flags & WAVE_FORMAT_QUERY;
  if (MMRESULT r = Enter(query ? "waveInOpen query" : "waveInOpen")) return r;
  const int d = Resolve(device);
  if (d < 0) return MMSYSERR_BADDEVICEID;
  if (!format || format->nBlockAlign == 0) return WAVERR_BADFORMAT;
  if (query) return devices_[d].queryError;
  if (devices_[d].openError) return devices_[d].openError;
  if (!handle) return MMSYSERR_INVALPARAM;
  auto s = std::make_unique<Stream>();
  s->device = d;
  const HWAVEIN h = nextHandle_++;
  s->capture = std::make_unique<CaptureStream>(h, target, format->nBlockAlign);
  if (devices_[d].openNotice == Notice::kPosted)
    s->capture->Notify(WIM_OPEN);
  else
    s->openHeld = devices_[d].openNotice == Notice::kHeld;
  {
    std::lock_guard lock(mutex_);
    streams_.emplace(h, std::move(s));
  }
  *handle = lastHandle_ = h;
  return MMSYSERR_NOERROR;
}

MMRESULT SimulatedWaveIn::waveInClose(HWAVEIN handle) {
  std::lock_guard lock(mutex_);
  if (MMRESULT r = Enter("waveInClose")) return r;
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (s->capture->Outstanding() > 0) return WAVERR_STILLPLAYING;
  s->started = false;
  switch (devices_[s->device].closeNotice) {
    case Notice::kPosted:
      s->capture->Notify(WIM_CLOSE);
      streams_.erase(handle);
      break;
    case Notice::kHeld:
      s->closed = true;
      break;
    case Notice::kNever:
      s->capture->Drain();
      streams_.erase(handle);
      break;
  }
  return MMSYSERR_NOERROR;
}

MMRESULT SimulatedWaveIn::waveInPrepareHeader(HWAVEIN handle, TWaveHdr* header,
                                              std::uint32_t size) {
  if (MMRESULT r = Enter("waveInPrepareHeader")) return r;
  if (!Find(handle)) return MMSYSERR_INVALHANDLE;
  return TWaveInTable::waveInPrepareHeader(handle, header, size);
}

MMRESULT SimulatedWaveIn::waveInUnprepareHeader(HWAVEIN handle, TWaveHdr* header,
                                                std::uint32_t size) {
  if (MMRESULT r = Enter("waveInUnprepareHeader")) return r;
  if (!Find(handle)) return MMSYSERR_INVALHANDLE;
  return TWaveInTable::waveInUnprepareHeader(handle, header, size);
}

MMRESULT SimulatedWaveIn::waveInAddBuffer(HWAVEIN handle, TWaveHdr* header, std::uint32_t size) {
  if (MMRESULT r = Enter("waveInAddBuffer")) return r;
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (size < kWaveHdrBaseSize) return MMSYSERR_INVALPARAM;
  return s->capture->Add(header);
}

MMRESULT SimulatedWaveIn::waveInStart(HWAVEIN handle) {
  if (MMRESULT r = Enter("waveInStart")) return r;
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (s->capture->Failed()) return MMSYSERR_NODRIVER;
  s->started = true;
  return MMSYSERR_NOERROR;
}

MMRESULT SimulatedWaveIn::waveInStop(HWAVEIN handle) {
  if (MMRESULT r = Enter("waveInStop")) return r;
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  s->started = false;
  s->capture->ReturnPartial();
  return MMSYSERR_NOERROR;
}

MMRESULT SimulatedWaveIn::waveInReset(HWAVEIN handle) {
  if (MMRESULT r = Enter("waveInReset")) return r;
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  s->started = false;
  s->capture->ReturnAll();
  return MMSYSERR_NOERROR;
}

MMRESULT SimulatedWaveIn::waveInGetPosition(HWAVEIN handle, std::uint32_t* bytes) {
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (!bytes) return MMSYSERR_INVALPARAM;
  *bytes = std::uint32_t(s->capture->BytesCaptured());
  return MMSYSERR_NOERROR;
}

MMRESULT SimulatedWaveIn::waveInGetID(HWAVEIN handle, std::uint32_t* device) {
  Stream* s = Find(handle);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (!device) return MMSYSERR_INVALPARAM;
  *device = std::uint32_t(s->device);
  return MMSYSERR_NOERROR;
}

bool SimulatedWaveIn::Play(HWAVEIN handle, std::size_t bytes) {
  Stream* s = Find(handle);
  if (!s) return false;
  if (!s->started || s->capture->Failed()) return true;
  scratch_.assign(bytes, 0);
  if (const Source& source = devices_[s->device].source) source(scratch_.data(), bytes, s->offset);
  s->offset += bytes;
  s->capture->Fill(scratch_.data(), bytes);
  return true;
}

void SimulatedWaveIn::ReleaseHeldNotices(HWAVEIN handle) {
  std::lock_guard lock(mutex_);
  Stream* s = Find(handle, true);
  if (!s) return;
  if (s->closed) {
    s->capture->Notify(WIM_CLOSE);
    streams_.erase(handle);
    return;
  }
  if (s->openHeld) {
    s->openHeld = false;
    s->capture->Notify(WIM_OPEN);
  }
}

void SimulatedWaveIn::FailDevice(HWAVEIN handle) {
  if (Stream* s = Find(handle)) {
    s->started = false;
    s->capture->MarkFailed();
  }
}

std::vector<HWAVEIN> SimulatedWaveIn::OpenHandles() const {
  std::vector<HWAVEIN> handles;
  for (const auto& [h, s] : streams_)
    if (!s->closed) handles.push_back(h);
  return handles;
}

int SimulatedWaveIn::DeviceOf(HWAVEIN handle) const {
  const Stream* s = Find(handle, true);
  return s ? s->device : -1;
}

bool SimulatedWaveIn::Started(HWAVEIN handle) const {
  const Stream* s = Find(handle);
  return s && s->started;
}

std::uint64_t SimulatedWaveIn::DroppedFrames(HWAVEIN handle) const {
  const Stream* s = Find(handle, true);
  return s ? s->capture->DroppedFrames() : 0;
}

int SimulatedWaveIn::Outstanding(HWAVEIN handle) const {
  const Stream* s = Find(handle, true);
  return s ? s->capture->Outstanding() : 0;
}

}  // namespace ostrel

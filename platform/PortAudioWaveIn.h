#pragma once
// The wave-in operations on PortAudio. Devices are PortAudio's input-capable devices in
// its own order; -1 is its default input device. A real open is a callback stream: the
// callback copies the captured frames into the queued buffers (CaptureStream) and the GUI
// thread turns every full buffer into a data notification. The callback allocates nothing,
// takes no lock and never calls Qt.
//
// A device that fails while capturing (PortAudio ends the stream by itself) gives every
// queued buffer back at once and refuses new ones, so its owner stops and closes cleanly.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/CaptureStream.h"
#include "platform/WaveInTable.h"

namespace ostrel {

struct PortAudioStream;

class PortAudioWaveIn : public TWaveInTable {
 public:
  PortAudioWaveIn();
  ~PortAudioWaveIn() override;

  // The binding the capture components use unless they are given another.
  static std::shared_ptr<PortAudioWaveIn> Shared();

  // PortAudio errors come back as this base plus the error's magnitude.
  static constexpr MMRESULT kPaErrorBase = 100000;

  std::uint32_t waveInGetNumDevs() override;
  MMRESULT waveInGetDevCaps(int device, TWaveInCaps* caps, std::uint32_t size) override;
  MMRESULT waveInGetErrorText(MMRESULT code, char* text, std::uint32_t size) override;
  MMRESULT waveInOpen(HWAVEIN* handle, int device, const TWaveFormatEx* format, QObject* target,
                      std::uint32_t flags) override;
  MMRESULT waveInClose(HWAVEIN handle) override;
  MMRESULT waveInAddBuffer(HWAVEIN handle, TWaveHdr* header, std::uint32_t size) override;
  MMRESULT waveInStart(HWAVEIN handle) override;
  MMRESULT waveInStop(HWAVEIN handle) override;
  MMRESULT waveInReset(HWAVEIN handle) override;
  MMRESULT waveInGetPosition(HWAVEIN handle, std::uint32_t* bytes) override;
  MMRESULT waveInGetID(HWAVEIN handle, std::uint32_t* device) override;

  // Frames the device captured while no buffer was queued (0 for an unknown handle).
  std::uint64_t DroppedFrames(HWAVEIN handle) const;

 private:
  using Stream = PortAudioStream;

  // PortAudio device index of a wave-in device number; -1 when there is none.
  int PaDevice(int device);
  std::vector<int> InputDevices();
  std::uint32_t FormatBits(int paDevice);
  Stream* Find(HWAVEIN handle) const;
  // Halts the stream; true when it did not fail by itself.
  MMRESULT Halt(Stream& s);

  // Guards the tables below: a capture thread may re-queue while the GUI thread opens or
  // closes another device. The audio callback never takes it.
  mutable std::recursive_mutex mutex_;
  std::map<HWAVEIN, std::unique_ptr<Stream>> streams_;
  std::map<int, std::uint32_t> formatBits_;  // per PortAudio device, asked once
  HWAVEIN nextHandle_ = 1;
};

}  // namespace ostrel

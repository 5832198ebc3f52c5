#pragma once
// A scripted stand-in for the audio system, for tests: device count, names, advertised
// format bits, failing calls, late or missing open and close notifications, and a sample
// source per device. Buffers are filled when the test plays the device (Play), on the
// calling thread, through the same CaptureStream path as the real binding, so the
// notifications arrive on the GUI thread exactly as they would from a sound card.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/CaptureStream.h"
#include "platform/WaveInTable.h"

namespace ostrel {

class SimulatedWaveIn : public TWaveInTable {
 public:
  // What happens to an open or close notification.
  enum class Notice { kPosted, kHeld, kNever };
  using Source = std::function<void(std::uint8_t* out, std::size_t bytes, std::uint64_t offset)>;

  struct Device {
    std::string name;
    std::uint32_t formats = 0xFFF;  // every standard format
    MMRESULT capsError = MMSYSERR_NOERROR;
    MMRESULT queryError = MMSYSERR_NOERROR;  // the format query fails with this
    MMRESULT openError = MMSYSERR_NOERROR;   // a real open fails with this
    Notice openNotice = Notice::kPosted;
    Notice closeNotice = Notice::kPosted;
    Source source;  // zeros when empty
  };

  // Returns the new device's number.
  int AddDevice(Device device);
  Device& DeviceAt(int device) { return devices_.at(std::size_t(device)); }
  // Device number that -1 stands for; -1 leaves the default device missing.
  void SetDefaultDevice(int device) { defaultDevice_ = device; }
  // The next call of operation `op` (e.g. "waveInStart") fails with `code`.
  void FailNext(const std::string& op, MMRESULT code) { failNext_[op] = code; }
  // A result code with no text: waveInGetErrorText fails for it.
  static constexpr MMRESULT kTextless = 4242;

  // Every call except the device count, names and texts, in order, e.g. "waveInOpen query",
  // "waveInOpen", "waveInAddBuffer".
  std::vector<std::string> calls;

  // ---- Driving the devices -----------------------------------------------------------------
  // Plays `bytes` bytes of the device's signal into the open device `handle` as its audio
  // callback would; nothing while it is not started. False for an unknown handle.
  bool Play(HWAVEIN handle, std::size_t bytes);
  // Posts the open or close notification that was held back.
  void ReleaseHeldNotices(HWAVEIN handle);
  // The device vanishes while open: it delivers nothing more.
  void FailDevice(HWAVEIN handle);
  // Handles of open devices, oldest first; the most recent one (0 when none).
  std::vector<HWAVEIN> OpenHandles() const;
  HWAVEIN LastHandle() const { return lastHandle_; }
  int DeviceOf(HWAVEIN handle) const;
  bool Started(HWAVEIN handle) const;
  std::uint64_t DroppedFrames(HWAVEIN handle) const;
  int Outstanding(HWAVEIN handle) const;

  // ---- The wave-in operations --------------------------------------------------------------
  std::uint32_t waveInGetNumDevs() override { return std::uint32_t(devices_.size()); }
  MMRESULT waveInGetDevCaps(int device, TWaveInCaps* caps, std::uint32_t size) override;
  MMRESULT waveInGetErrorText(MMRESULT code, char* text, std::uint32_t size) override;
  MMRESULT waveInOpen(HWAVEIN* handle, int device, const TWaveFormatEx* format, QObject* target,
                      std::uint32_t flags) override;
  MMRESULT waveInClose(HWAVEIN handle) override;
  MMRESULT waveInPrepareHeader(HWAVEIN handle, TWaveHdr* header, std::uint32_t size) override;
  MMRESULT waveInUnprepareHeader(HWAVEIN handle, TWaveHdr* header, std::uint32_t size) override;
  MMRESULT waveInAddBuffer(HWAVEIN handle, TWaveHdr* header, std::uint32_t size) override;
  MMRESULT waveInStart(HWAVEIN handle) override;
  MMRESULT waveInStop(HWAVEIN handle) override;
  MMRESULT waveInReset(HWAVEIN handle) override;
  MMRESULT waveInGetPosition(HWAVEIN handle, std::uint32_t* bytes) override;
  MMRESULT waveInGetID(HWAVEIN handle, std::uint32_t* device) override;

 private:
  struct Stream {
    int device = 0;
    bool started = false;
    bool closed = false;  // closed, its close notification held back
    bool openHeld = false;
    std::uint64_t offset = 0;
    std::unique_ptr<CaptureStream> capture;
  };
  // Logs the call and returns a scripted failure for it, if any.
  MMRESULT Enter(const std::string& op);
  Stream* Find(HWAVEIN handle, bool includeClosed = false) const;
  int Resolve(int device) const;

  // A capture thread may re-queue while the test thread drives the devices.
  mutable std::recursive_mutex mutex_;
  std::vector<Device> devices_;
  int defaultDevice_ = 0;
  std::map<std::string, MMRESULT> failNext_;
  std::map<HWAVEIN, std::unique_ptr<Stream>> streams_;
  std::vector<std::uint8_t> scratch_;
  HWAVEIN nextHandle_ = 0x100;
  HWAVEIN lastHandle_ = 0;
};

}  // namespace ostrel

#pragma once
// The capture component: records PCM from one capture device into a small ring of buffers
// and hands every filled buffer down its chain (to a connector here). All logic lives in
// TMMCustomWaveIn, which reaches the audio system only through a TWaveInTable; TMWaveIn binds
// the PortAudio table unless it is given another (tests give the simulated one).
//
// Threads: every public operation runs on the GUI thread. The device's notifications reach
// the component's notification window there, in arrival order. The waits for the device
// (up to 100 x 10 ms) run a nested event loop on the GUI thread, so other inputs' buffers,
// the connectors' pump and user input are all served inside Open, Stop and Close.

#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <climits>
#include <functional>
#include <memory>
#include <mutex>

#include "audio/MMAllocator.h"
#include "audio/MMDSPObj.h"
#include "audio/MMWaveInThread.h"
#include "metering/MMLevelTypes.h"
#include "platform/MMError.h"
#include "platform/WaveInTable.h"

namespace ostrel {

class EMMWaveInError : public EMMError {
 public:
  using EMMError::EMMError;
};

using TMMDeviceId = std::int32_t;
inline constexpr TMMDeviceId MapperId = -1;
inline constexpr TMMDeviceId InvalidId = -2;

enum TMMCBMode : std::uint8_t { cmWindow, cmCallback, cmThread };
enum TMMTimeFormats : std::uint8_t { tfMillisecond, tfByte, tfSample };

enum TMMWaveInState : std::uint8_t {
  wiClosed = 1 << 0,
  wiOpened = 1 << 1,
  wiStarted = 1 << 2,
  wiPaused = 1 << 3,
};
using TMMWaveInStates = std::uint8_t;  // a set of TMMWaveInState

// Texts of the component's failures.
namespace wavein_text {
inline constexpr const char* kPropertyWhileOpen = "Change to property while device was open";
inline constexpr const char* kInvalidDeviceId = "Invalid DeviceID";
inline constexpr const char* kNoHeaderMemory = "Unable to allocate memory for wave header";
inline constexpr const char* kUnknownError =
    "Specified error number is out of range (unknown error)";
inline constexpr const char* kCannotRecordFormat = "The actual device can''t record this format";
inline constexpr const char* kNoThread = "Could not create thread";
inline constexpr const char* kInvalidFormat = "Invalid wave format";
inline constexpr const char* kNoDevice = "No wave audio recording device found";
inline constexpr const char* kCannotOpen = "Unable to open device";
inline constexpr const char* kCannotClose = "Unable to close device";
}  // namespace wavein_text

class TWaveInNotifyWindow;

class TMMCustomWaveIn : public TMMCustomSoundComponent {
  Q_OBJECT
 public:
  static constexpr int kMaxBuffers = 4096;
  static constexpr int kHeaderBytes = int(sizeof(TWaveHdr));  // 32 + 28
  static constexpr std::uint32_t kDeferredStopMessage = 32770;
  static constexpr int kWaitTries = 100;
  static constexpr int kWaitDelayMs = 10;

  ~TMMCustomWaveIn() override;

  // ---- Properties ---------------------------------------------------------------------------
  virtual int NumBuffers() const { return numBuffers_; }
  virtual void SetNumBuffers(int v);
  virtual TMMDeviceId DeviceID() const { return deviceId_; }
  virtual void SetDeviceID(TMMDeviceId v);
  virtual QString ProductName() const { return productName_; }
  virtual void SetProductName(const QString&) {}
  virtual TMMCBMode CallBackMode() const { return callBackMode_; }
  virtual void SetCallBackMode(TMMCBMode v);
  TMMMode Mode() const;
  void SetMode(TMMMode v);
  int Channels() const { return channels_; }
  void SetChannels(int v);
  TMMBits BitLength() const { return bitLength_; }
  void SetBitLength(TMMBits v);
  int SampleRate() const { return sampleRate_; }
  void SetSampleRate(int v);
  TMMTimeFormats TimeFormat() const { return timeFormat_; }
  void SetTimeFormat(TMMTimeFormats v);
  int MaxRecordTime() const { return maxRecordTime_; }
  void SetMaxRecordTime(int v);
  TThreadPriority Priority() const { return priority_; }
  void SetPriority(TThreadPriority v);
  int BufferSize() const override;
  void SetBufferSize(int bytes) override;

  TNotifyEvent OnError, OnOpen, OnStart, OnPause, OnRestart, OnStop, OnClose;
  // OnBufferReady comes from the chain base.

  // ---- Operations -------------------------------------------------------------------------
  virtual void Error(const QString& message);
  virtual void Open();
  // Never raises.
  virtual void Close();
  virtual void Start();
  virtual void Pause();
  virtual void Restart();
  virtual void Stop();

  // ---- Chain overrides --------------------------------------------------------------------
  bool PublishesInput() const override { return false; }
  void SetWaveFormat(const TWaveFormatEx* format) override;
  void Opened() override;
  void Closed() override;
  void Started() override;
  void Paused() override;
  void Restarted() override;
  void Stopped() override;
  void BufferReady(TWaveHdr* header) override;

  // ---- State, read only -------------------------------------------------------------------
  TMMWaveInStates State() const { return state_.load(); }
  bool StateHas(TMMWaveInState s) const { return (state_.load() & s) != 0; }
  HWAVEIN Handle() const { return handle_.load(); }
  // Number of capture devices, read once at creation.
  int NumDevs() const { return numDevs_; }
  MMRESULT LastResult() const { return lastResult_; }
  const TWaveInCaps& Caps() const { return caps_; }
  TWaveHdr* Header(int slot) const { return headers_.at(std::size_t(slot)); }
  std::int64_t BytesRecorded() const { return bytesRecorded_; }
  int MaxRecordBytes() const { return maxRecordBytes_; }
  int BuffersOut() const { return buffersOut_; }
  const TMMAllocator& Allocator() const { return allocator_; }
  // The table the component reaches the audio system through (the setup window asks it
  // for device names).
  TWaveInTable* Platform() const { return platform_.get(); }

  // One 10 ms wait for the device. The default pumps the GUI thread's messages for the
  // delay (a nested event loop) and sleeps elsewhere; tests put their own in place.
  using WaitDelay = std::function<void(int ms)>;
  void SetWaitDelay(WaitDelay delay) { waitDelay_ = std::move(delay); }

  // The notification window's handler (GUI thread).
  void HandleNotify(std::uint32_t msg, HWAVEIN handle, TWaveHdr* header);

 protected:
  // `platform` is what BindPlatform of the concrete class chose.
  TMMCustomWaveIn(QObject* owner, std::shared_ptr<TWaveInTable> platform);

 private:
  friend class TWaveInNotifyWindow;

  // "Name:" LF CR text-of-code
  QString PlatformMessage(const char* prefix, MMRESULT code);
  void Check(const char* prefix, MMRESULT code);
  bool FormatCheck();
  void RebuildFormat();
  void BufferReturn(HWAVEIN handle, TWaveHdr* header);
  void QueueHeader(TWaveHdr* header);
  void Delay(int ms);
  void CheckClosed();
  int ComputeMaxRecordBytes() const;
  void StartThread();
  void EndThread();
  void FireEvent(const TNotifyEvent& event);
  bool OnGuiThread() const;

  // Guards the buffers-out count; active only outside cmWindow, as only then buffers come
  // back on another thread.
  class CsGuard {
   public:
    explicit CsGuard(TMMCustomWaveIn& w);
    ~CsGuard();

   private:
    TMMCustomWaveIn& w_;
    bool locked_;
  };

  std::shared_ptr<TWaveInTable> platform_;
  std::atomic<TMMWaveInStates> state_{wiClosed};
  std::atomic<HWAVEIN> handle_{0};
  int numDevs_ = 0;
  TWaveInCaps caps_{};
  QString productName_;
  MMRESULT lastResult_ = MMSYSERR_NOERROR;
  std::array<TWaveHdr*, kMaxBuffers> headers_{};

  TMMDeviceId deviceId_ = 0;
  int numBuffers_ = 10;
  TMMCBMode callBackMode_ = cmWindow;
  int channels_ = 1;
  TMMBits bitLength_ = b8Bit;
  int sampleRate_ = 11025;
  TMMTimeFormats timeFormat_ = tfByte;
  int maxRecordTime_ = -1;
  TThreadPriority priority_ = tpHigher;

  std::atomic<int> inHandler_{0};
  int buffersOut_ = 0;
  std::int64_t bytesRecorded_ = 0;
  int maxRecordBytes_ = INT_MAX;
  std::atomic<bool> stopping_{false}, resetting_{false}, closing_{false}, stopPending_{false},
      closePending_{false}, stopPosted_{false};
  bool csActive_ = false;
  std::recursive_mutex cs_;
  bool destroying_ = false;

  std::unique_ptr<TMMWaveInThread> thread_;
  TWaveInNotifyWindow* window_ = nullptr;
  TMMAllocator allocator_;
  WaitDelay waitDelay_;
};

// The published capture component.
class TMMWaveIn : public TMMCustomWaveIn {
  Q_OBJECT
 public:
  // Binds `platform`, or BindPlatform()'s choice when none is given.
  explicit TMMWaveIn(QObject* owner = nullptr, std::shared_ptr<TWaveInTable> platform = nullptr);

  // The PortAudio table, or the table a test put in place with SetDefaultPlatform.
  static std::shared_ptr<TWaveInTable> BindPlatform();
  // Tests of whole windows: every TMMWaveIn created afterwards binds `platform` (null
  // restores PortAudio).
  static void SetDefaultPlatform(std::shared_ptr<TWaveInTable> platform);
};

}  // namespace ostrel

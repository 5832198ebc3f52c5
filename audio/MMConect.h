#pragma once
// The connector: the end of a chain. It copies every captured buffer once into its own
// display buffer and hands it out to its two level meters in readings of the meters' block
// size, each reading no earlier than its real-time position after the buffer arrived.
//
// Threads: the meters are only ever called on the GUI thread. ProcessData may come from
// another thread (a capture thread); the display buffer is guarded by the connector's
// lock, which DoTrigger holds across the meters' FeedData. The silence feed of a paused
// connector runs on the TickService thread and only leaves a re-arm request in atomics,
// which the next delivery on the GUI thread picks up.

#include <QPointer>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "audio/MMDSPObj.h"
#include "metering/MMLevel.h"
#include "metering/TickService.h"
#include "platform/MMError.h"

namespace ostrel {

class EMMConnectorError : public EMMError {
 public:
  using EMMError::EMMError;
};

// The platform ran out of a resource (here: timers).
class EOutOfResources : public EMMError {
 public:
  using EMMError::EMMError;
};

enum TMMTriggerMethod : std::uint8_t { tmMessage, tmTimer };
enum TMMTriggerMode : std::uint8_t { tmNone, tmUpFlank, tmDownFlank };

// Microseconds of a monotonic clock.
using MicroClock = std::function<std::int64_t()>;

class TMMConnector : public TMMDSPComponent {
  Q_OBJECT
 public:
  static constexpr int kMaxSpeed = 5000;
  static constexpr int kTimerIntervalMs = 20;

  explicit TMMConnector(QObject* owner = nullptr, TickService& ticks = TickService::Instance());
  ~TMMConnector() override;

  // ---- Published properties -------------------------------------------------------------------
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool AutoConvert() const { return autoConvert_; }
  void SetAutoConvert(bool v) { autoConvert_ = v; }
  bool AutoTrigger() const { return autoTrigger_; }
  void SetAutoTrigger(bool v);
  bool Synchronize() const { return synchronize_; }
  void SetSynchronize(bool v) { synchronize_ = v; }
  int Speed() const { return speed_; }
  void SetSpeed(int v);
  TMMTriggerMethod TriggerMethod() const { return triggerMethod_; }
  void SetTriggerMethod(TMMTriggerMethod v);
  TMMTriggerMode TriggerMode() const { return triggerMode_; }
  void SetTriggerMode(TMMTriggerMode v) { triggerMode_ = v; }
  int TriggerLevel() const { return triggerLevel_; }
  void SetTriggerLevel(int v) { triggerLevel_ = v; }
  bool RefreshOnStop() const { return refreshOnStop_; }
  void SetRefreshOnStop(bool v) { refreshOnStop_ = v; }
  bool RealTime() const { return realTime_; }
  // Raises EMMConnectorError while the chain is open.
  void SetRealTime(bool v);
  // One value shared by all connectors.
  static bool EnterIdle();
  static void SetEnterIdle(bool v);
  TMMLevel* Level1() const { return level1_; }
  void SetLevel1(TMMLevel* meter);
  TMMLevel* Level2() const { return level2_; }
  void SetLevel2(TMMLevel* meter);
  TNotifyEvent OnTrigger;

  // ---- Operations -------------------------------------------------------------------------------
  // Delivers one reading now if the connector runs; callable from any thread.
  void Trigger();
  // Takes a copy of new samples.
  void ProcessData(const void* data, int bytes);
  // Hands the display format to every attached meter.
  void SetupDisplays();
  // One delivery run (GUI thread).
  void DoTrigger();

  // ---- Chain overrides
  // ---------------------------------------------------------------------------
  void SetWaveFormat(const TWaveFormatEx* format) override;
  void Started() override;
  void Stopped() override;
  void Paused() override;
  void Restarted() override;
  void Reset() override;
  void BufferReady(TWaveHdr* header) override;
  void BufferLoad(TWaveHdr* header, bool& more) override;

  // ---- Clock ----------------------------------------------------------------------------------
  // Pacing and the silence feed read this clock (microseconds); tests inject their own.
  void SetClock(MicroClock clock);
  static std::int64_t SystemMicroseconds();

  // ---- State, read only -------------------------------------------------------------------------
  std::uint64_t Serial() const { return serial_; }
  bool Active() const { return active_; }
  bool Running() const { return running_; }
  bool IsPCM() const { return isPCM_; }
  bool PausedFlag() const { return paused_; }
  bool LevelPending() const;
  int LevelPosition() const;
  int DataLength() const;
  std::int64_t ArrivalTime() const;
  int PendingTriggers() const { return pendingTriggers_.load(); }
  std::uint8_t SilenceByte() const { return silenceByte_; }
  TickHandle SilenceFeed() const { return silenceFeed_; }
  const std::uint8_t* DisplayData() const { return displayData_; }
  bool CountedInPump() const { return countedInPump_; }

  // ---- Service messages (run by the service on the GUI thread) ------------------------------
  void HandleStartMessage();
  void HandleTriggerMessage();
  // True when the pump delivers to this connector.
  bool PumpDriven() const;

 private:
  void StartSilenceFeed();
  void StopSilenceFeed();
  void SilenceTick();
  void FillSilence();
  void LeavePump();
  void PostStartIfRunnable();
  // Runs `f` with the meter on the GUI thread: at once there, queued from elsewhere.
  static void OnGuiThread(TMMLevel* meter, std::function<void(TMMLevel*)> f);
  void ResetMeters();
  std::int64_t Now() const { return clock_(); }
  static bool OnGui();

  TickService& ticks_;
  const std::uint64_t serial_;
  MicroClock clock_;

  std::atomic<bool> enabled_{true};
  bool autoConvert_ = true;
  bool autoTrigger_ = true;
  bool synchronize_ = true;
  int speed_ = kMaxSpeed;
  TMMTriggerMethod triggerMethod_ = tmMessage;
  TMMTriggerMode triggerMode_ = tmNone;
  int triggerLevel_ = 0;
  bool refreshOnStop_ = true;
  bool realTime_ = true;
  QPointer<TMMLevel> level1_;
  QPointer<TMMLevel> level2_;

  // Guards the display buffer, its length and the delivery positions. Recursive, as the
  // platform's critical sections are.
  mutable std::recursive_mutex lock_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  int bufferBytes_ = 0;
  std::uint8_t* displayData_ = nullptr;
  int dataLength_ = 0;
  TPCMWaveFormat displayFormat_{};
  std::uint8_t silenceByte_ = 0;
  std::int64_t arrival_ = 0;
  bool levelPending_ = false;
  int levelPosition_ = 0;

  std::atomic<bool> isPCM_{false};
  bool converting_ = false;
  std::atomic<bool> active_{false};
  bool running_ = false;
  std::atomic<bool> paused_{false};
  bool countedInPump_ = false;
  std::atomic<int> pendingTriggers_{0};

  QTimer timer_;  // tmTimer delivery
  TickHandle silenceFeed_ = kNoTick;
  std::atomic<bool> silenceRearm_{false};
  std::atomic<std::int64_t> silenceArrival_{0};
};

}  // namespace ostrel

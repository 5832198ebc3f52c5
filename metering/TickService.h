#pragma once
// One 25 ms periodic tick shared by all meters and connectors. Clients register an
// interval and a callback; the service runs every unpaused client's callback on its own
// timer thread whenever that client's interval has elapsed.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

namespace ostrel {

// Identifies one registration; kNoTick stands for "no handle" and is accepted everywhere.
using TickHandle = std::uint64_t;
inline constexpr TickHandle kNoTick = 0;

class TickService {
 public:
  using Callback = std::function<void(void* component)>;
  static constexpr int kPeriodMs = 25;

  // kThreaded ticks on its own thread while any client is registered; kManual starts no
  // thread at all and ticks only when RunPeriod() is called (tests drive time by hand).
  enum class Mode { kThreaded, kManual };

  explicit TickService(Mode mode = Mode::kThreaded);
  ~TickService();
  TickService(const TickService&) = delete;
  TickService& operator=(const TickService&) = delete;

  // The process-wide service every meter uses unless it is given another one.
  static TickService& Instance();

  // Returns kNoTick when the timer thread cannot be started: the client then gets no ticks.
  TickHandle RegisterTick(int intervalMs, bool paused, Callback callback, void* component);
  void PauseTick(TickHandle handle);
  void ResumeTick(TickHandle handle);
  // Once this returns, the client's callback is not running and never runs again (unless
  // called from inside that very callback, which then finishes normally).
  void UnregisterTick(TickHandle handle);

  // One timer period. Skipped when the previous period's run is still going on.
  void RunPeriod();

  bool TimerRunning() const;

 private:
  struct Client {
    TickHandle handle;
    int interval;
    int elapsed = 0;
    int pauseCount;
    Callback callback;
    void* component;
    bool removed = false;  // unregistered from inside a running period
  };

  Client* Find(TickHandle handle);
  bool HasLiveClients() const;
  void StartTimer();
  std::jthread StopTimer();
  void TimerLoop(std::stop_token stop);
  // One period; `stop` is the timer thread's token (a thread being stopped runs no more).
  void RunPeriodFor(const std::stop_token* stop);

  const Mode mode_;
  // Guards the client list and the timer state. Recursive, so that a callback may
  // register, pause or unregister clients of the same service.
  mutable std::recursive_mutex mutex_;
  std::vector<std::unique_ptr<Client>> clients_;
  TickHandle nextHandle_ = 1;
  bool inPeriod_ = false;
  std::atomic<bool> running_{false};

  bool timerOn_ = false;
  std::jthread thread_;
  std::jthread retired_;  // a timer thread that stopped itself from inside a callback
  std::mutex waitMutex_;  // only for the timer thread's sleep; it never guards clients
  std::condition_variable_any wake_;
};

}  // namespace ostrel

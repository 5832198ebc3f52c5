#pragma once
// The capture thread of a capture component in thread notification mode: it takes the data
// notifications the GUI thread forwards and runs the buffer return for each, so the chain's
// copy happens off the GUI thread.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/WaveInTable.h"

namespace ostrel {

enum TThreadPriority : std::uint8_t {
  tpIdle,
  tpLowest,
  tpLower,
  tpNormal,
  tpHigher,
  tpHighest,
  tpTimeCritical
};

class TMMWaveInThread {
 public:
  // The buffer return; an exception ends the thread after `onFailure` has seen it.
  using Handler = std::function<void(HWAVEIN handle, TWaveHdr* header)>;
  using FailureHandler = std::function<void(std::exception_ptr error)>;

  TMMWaveInThread(Handler handler, FailureHandler onFailure);
  ~TMMWaveInThread();
  TMMWaveInThread(const TMMWaveInThread&) = delete;
  TMMWaveInThread& operator=(const TMMWaveInThread&) = delete;

  // Starts the thread and waits up to `timeoutMs` for it to be ready; false when it could
  // not be created or did not get ready in time.
  bool Start(TThreadPriority priority, int timeoutMs);
  // Queues a data notification for the thread.
  void Post(HWAVEIN handle, TWaveHdr* header);
  // Tells the thread to end, waits up to `timeoutMs` for it and joins it.
  void End(int timeoutMs);
  // Applies at once while the thread runs.
  void SetPriority(TThreadPriority priority);
  bool Failed() const { return failed_; }
  bool IsCaptureThread() const { return std::this_thread::get_id() == thread_.get_id(); }

 private:
  void Run();
  void ApplyPriority();
  void SignalReady();

  Handler handler_;
  FailureHandler onFailure_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::pair<HWAVEIN, TWaveHdr*>> messages_;
  bool close_ = false;
  bool ready_ = false;  // auto-reset: taken by the waiter
  std::atomic<bool> failed_{false};
  std::atomic<int> priority_{tpHigher};
  std::atomic<int> nativeId_{0};
};

}  // namespace ostrel

#include "audio/MMWaveInThread.h"

#include <chrono>
#include <system_error>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace ostrel {

TMMWaveInThread::TMMWaveInThread(Handler handler, FailureHandler onFailure)
    : handler_(std::move(handler)), onFailure_(std::move(onFailure)) {}

TMMWaveInThread::~TMMWaveInThread() {
  End(5000);
}

bool TMMWaveInThread::Start(TThreadPriority priority, int timeoutMs) {
  priority_ = priority;
  failed_ = false;
  {
    std::lock_guard lock(mutex_);
    close_ = false;
    ready_ = false;
    messages_.clear();
  }
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    return false;
  }
  std::unique_lock lock(mutex_);
  const bool ready =
      wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return ready_; });
  ready_ = false;
  return ready;
}

void TMMWaveInThread::Post(HWAVEIN handle, TWaveHdr* header) {
  {
    std::lock_guard lock(mutex_);
    messages_.emplace_back(handle, header);
  }
  wake_.notify_all();
}

void TMMWaveInThread::End(int timeoutMs) {
  if (!thread_.joinable()) return;
  if (IsCaptureThread()) {
    // Ending itself (after a failure inside its own handler): it leaves its loop anyway.
    thread_.detach();
    return;
  }
  {
    std::lock_guard lock(mutex_);
    close_ = true;
  }
  wake_.notify_all();
  {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return ready_; });
    ready_ = false;
  }
  thread_.join();
}

void TMMWaveInThread::SignalReady() {
  {
    std::lock_guard lock(mutex_);
    ready_ = true;
  }
  wake_.notify_all();
}

void TMMWaveInThread::SetPriority(TThreadPriority priority) {
  priority_ = priority;
  if (nativeId_ != 0) ApplyPriority();
}

void TMMWaveInThread::ApplyPriority() {
#ifdef __linux__
  // Niceness per level; raising it needs privileges, and without them the thread simply
  // keeps the normal priority.
  static constexpr int kNice[7] = {19, 10, 5, 0, -5, -10, -20};
  const int tid = nativeId_;
  if (tid != 0) setpriority(PRIO_PROCESS, id_t(tid), kNice[priority_.load()]);
#endif
}

void TMMWaveInThread::Run() {
#ifdef __linux__
  nativeId_ = int(::gettid());
#endif
  ApplyPriority();
  SignalReady();
  for (;;) {
    std::pair<HWAVEIN, TWaveHdr*> message;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return close_ || !messages_.empty(); });
      if (close_) break;
      message = messages_.front();
      messages_.pop_front();
    }
    try {
      handler_(message.first, message.second);
    } catch (...) {
      failed_ = true;
      if (onFailure_) onFailure_(std::current_exception());
      break;
    }
  }
  nativeId_ = 0;
  SignalReady();
}

}  // namespace ostrel

#include "metering/TickService.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace ostrel {

namespace {
constexpr std::chrono::milliseconds kPeriod{TickService::kPeriodMs};

// Leaves a period marker set for exactly the length of one run, even when a callback throws.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }

 private:
  bool& flag_;
};
}  // namespace

TickService::TickService(Mode mode) : mode_(mode) {}

TickService::~TickService() {
  std::jthread stopped;
  {
    std::lock_guard lock(mutex_);
    clients_.clear();
    stopped = StopTimer();
  }
  for (std::jthread* t : {&stopped, &retired_}) {
    if (!t->joinable()) continue;
    if (t->get_id() == std::this_thread::get_id())
      t->detach();
    else
      t->join();
  }
}

TickService& TickService::Instance() {
  static TickService service;
  return service;
}

TickService::Client* TickService::Find(TickHandle handle) {
  if (handle == kNoTick) return nullptr;
  for (auto& c : clients_)
    if (c->handle == handle && !c->removed) return c.get();
  return nullptr;
}

bool TickService::HasLiveClients() const {
  return std::any_of(clients_.begin(), clients_.end(), [](const auto& c) { return !c->removed; });
}

TickHandle TickService::RegisterTick(int intervalMs, bool paused, Callback callback,
                                     void* component) {
  std::lock_guard lock(mutex_);
  if (!timerOn_) {
    try {
      StartTimer();
    } catch (const std::system_error&) {
      return kNoTick;  // no timer: the client works without ticks
    }
  }
  auto client = std::make_unique<Client>();
  client->handle = nextHandle_++;
  client->interval = std::max(intervalMs, kPeriodMs);
  client->pauseCount = paused ? 1 : 0;
  client->callback = std::move(callback);
  client->component = component;
  clients_.push_back(std::move(client));
  return clients_.back()->handle;
}

void TickService::PauseTick(TickHandle handle) {
  std::lock_guard lock(mutex_);
  if (Client* c = Find(handle)) {
    ++c->pauseCount;
    c->elapsed = 0;
  }
}

void TickService::ResumeTick(TickHandle handle) {
  std::lock_guard lock(mutex_);
  if (Client* c = Find(handle); c && c->pauseCount > 0) --c->pauseCount;
}

void TickService::UnregisterTick(TickHandle handle) {
  std::jthread stopped;
  {
    // Taking the lock waits for a period in progress on the timer thread, so the callback
    // cannot be running once we get here (except when we are inside it ourselves).
    std::lock_guard lock(mutex_);
    auto it = std::find_if(clients_.begin(), clients_.end(),
                           [&](const auto& c) { return c->handle == handle && !c->removed; });
    if (handle == kNoTick || it == clients_.end()) return;
    if (inPeriod_)
      (*it)->removed = true;  // the running period still walks the list; erased after it
    else
      clients_.erase(it);
    if (!HasLiveClients()) stopped = StopTimer();
    if (stopped.joinable() && stopped.get_id() == std::this_thread::get_id()) {
      // The last client left from inside a tick: the thread cannot join itself, so it
      // finishes this period, sees its stop request and is joined later.
      retired_ = std::move(stopped);
    }
  }
  if (stopped.joinable()) stopped.join();
}

void TickService::StartTimer() {
  if (retired_.joinable()) {
    if (retired_.get_id() == std::this_thread::get_id())
      retired_.detach();
    else
      retired_.join();
  }
  if (mode_ == Mode::kThreaded)
    thread_ = std::jthread([this](std::stop_token stop) { TimerLoop(std::move(stop)); });
  timerOn_ = true;
}

std::jthread TickService::StopTimer() {
  timerOn_ = false;
  thread_.request_stop();  // wakes the sleeping thread through its stop token
  return std::move(thread_);
}

bool TickService::TimerRunning() const {
  std::lock_guard lock(mutex_);
  return timerOn_;
}

void TickService::TimerLoop(std::stop_token stop) {
  using Clock = std::chrono::steady_clock;
  auto next = Clock::now() + kPeriod;
  std::unique_lock lock(waitMutex_);
  for (;;) {
    wake_.wait_until(lock, stop, next, [] { return false; });
    if (stop.stop_requested()) return;
    lock.unlock();
    RunPeriodFor(&stop);
    lock.lock();
    // Periods missed while a run took too long are dropped, not made up in a burst.
    const auto now = Clock::now();
    next += kPeriod;
    if (next <= now) next += ((now - next) / kPeriod + 1) * kPeriod;
  }
}

void TickService::RunPeriod() {
  RunPeriodFor(nullptr);
}

void TickService::RunPeriodFor(const std::stop_token* stop) {
  if (running_.exchange(true)) return;  // the previous period is still running
  {
    std::lock_guard lock(mutex_);
    // A thread asked to stop runs no further period: its replacement may already tick.
    if (!(stop && stop->stop_requested())) {
      FlagScope period(inPeriod_);
      // Index loop: callbacks may append clients while we walk the list.
      for (std::size_t i = 0; i < clients_.size(); ++i) {
        Client& c = *clients_[i];
        if (c.removed || c.pauseCount > 0) continue;
        c.elapsed += kPeriodMs;
        if (c.elapsed < c.interval) continue;
        c.elapsed = 0;
        try {
          c.callback(c.component);
        } catch (...) {
          // A failing client must not end the tick for all the others.
        }
      }
    }
    std::erase_if(clients_, [](const auto& c) { return c->removed; });
  }
  running_ = false;
}

}  // namespace ostrel

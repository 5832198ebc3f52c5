#include "audio/MMConect.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "audio/MMConnectorService.h"

namespace ostrel {

namespace {
std::atomic<std::uint64_t> gNextSerial{1};
}  // namespace

TMMConnector::TMMConnector(QObject* owner, TickService& ticks)
    : TMMDSPComponent(owner), ticks_(ticks), serial_(gNextSerial++), clock_(&SystemMicroseconds) {
  timer_.setInterval(kTimerIntervalMs);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { Trigger(); });
  // The pump's 1 ms pause uses a precise timer; nothing else to ask of the system here.
  TMMConnectorService::Register(this);
}

TMMConnector::~TMMConnector() {
  try {
    Stopped();
  } catch (...) {
    // A meter refusing its reset must not stop the destruction.
  }
  timer_.stop();
  TMMConnectorService::Unregister(this);
}

std::int64_t TMMConnector::SystemMicroseconds() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void TMMConnector::SetClock(MicroClock clock) {
  clock_ = clock ? std::move(clock) : MicroClock(&SystemMicroseconds);
}

bool TMMConnector::OnGui() {
  return QCoreApplication::instance() &&
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

void TMMConnector::OnGuiThread(TMMLevel* meter, std::function<void(TMMLevel*)> f) {
  if (!meter) return;
  if (OnGui()) {
    f(meter);
    return;
  }
  QPointer<TMMLevel> guarded(meter);
  QMetaObject::invokeMethod(
      meter,
      [guarded, f] {
        if (guarded) f(guarded);
      },
      Qt::QueuedConnection);
}

void TMMConnector::ResetMeters() {
  for (TMMLevel* m : {level1_.data(), level2_.data()})
    OnGuiThread(m, [](TMMLevel* meter) { meter->ResetDisplay(); });
}

// ---- Properties ---------------------------------------------------------------------------

bool TMMConnector::EnterIdle() {
  return TMMConnectorService::EnterIdle();
}

void TMMConnector::SetEnterIdle(bool v) {
  TMMConnectorService::SetEnterIdle(v);
}

void TMMConnector::LeavePump() {
  if (!countedInPump_) return;
  countedInPump_ = false;
  if (auto* service = TMMConnectorService::Instance()) service->RemoveMessageDriven();
}

void TMMConnector::PostStartIfRunnable() {
  auto* service = TMMConnectorService::Instance();
  if (!service) return;
  if (autoTrigger_ && triggerMethod_ == tmMessage && EnterIdle() && !service->IdleInstalled())
    service->InstallIdle();
  service->PostStart(this);
}

void TMMConnector::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  if (!v) {
    running_ = false;
    timer_.stop();
    LeavePump();
    ResetMeters();
  } else if (active_ && realTime_) {
    PostStartIfRunnable();
  }
}

void TMMConnector::SetAutoTrigger(bool v) {
  if (v == autoTrigger_) return;
  autoTrigger_ = v;
  if (!v) {
    if (running_) {
      running_ = false;
      timer_.stop();
      LeavePump();
    }
  } else if (active_ && enabled_ && realTime_) {
    PostStartIfRunnable();
  }
}

void TMMConnector::SetSpeed(int v) {
  v = std::clamp(v, 1, kMaxSpeed);
  if (v == speed_) return;
  speed_ = v;
  if (auto* service = TMMConnectorService::Instance()) service->RecalcMaxSpeed();
}

void TMMConnector::SetTriggerMethod(TMMTriggerMethod v) {
  if (v == triggerMethod_) return;
  // A change while running does not move the connector between pump and timer: it keeps
  // its current delivery until it is started again (LeavePump keeps the count right).
  if (triggerMethod_ == tmMessage) timer_.stop();
  triggerMethod_ = v;
}

void TMMConnector::SetRealTime(bool v) {
  if (v == realTime_) return;
  if (IsOpen()) throw EMMConnectorError("Change to property while device was open");
  realTime_ = v;
}

void TMMConnector::SetLevel1(TMMLevel* meter) {
  if (meter == level1_ || (meter && meter == level2_)) return;
  {
    std::lock_guard lock(lock_);
    level1_ = meter;
    levelPending_ = false;
  }
  if (meter) SetupDisplays();
}

void TMMConnector::SetLevel2(TMMLevel* meter) {
  if (meter == level2_ || (meter && meter == level1_)) return;
  {
    std::lock_guard lock(lock_);
    level2_ = meter;
    levelPending_ = false;
  }
  if (meter) SetupDisplays();
}

// ---- Formats and displays ------------------------------------------------------------------

void TMMConnector::SetWaveFormat(const TWaveFormatEx* format) {
  TMMDSPComponent::SetWaveFormat(format);
  SetupDisplays();
}

void TMMConnector::SetupDisplays() {
  const TWaveFormatEx* format = WaveFormat();
  if (!format) return;
  TPCMWaveFormat pcm;
  if (active_) {
    pcm = displayFormat_;
  } else {
    converting_ = false;
    isPCM_ = format->wFormatTag == WAVE_FORMAT_PCM;
    // No codec service stands behind AutoConvert here: a non-PCM chain stays silent.
    if (!isPCM_) return;
    pcm = PCMPart(*format);
  }
  silenceByte_ = pcm.wBitsPerSample == 8 ? 0x80 : 0;
  for (TMMLevel* m : {level1_.data(), level2_.data()})
    if (m) m->SetPCMFormat(pcm);
}

// ---- Chain notifications -------------------------------------------------------------------

void TMMConnector::Started() {
  TMMDSPComponent::Started();
  const TWaveFormatEx* format = WaveFormat();
  if (!format || active_) return;
  {
    std::lock_guard lock(lock_);
    if (format->wFormatTag == WAVE_FORMAT_PCM) {
      isPCM_ = true;
      displayFormat_ = PCMPart(*format);
      bufferBytes_ = std::max(BufferSize(), 0);
      buffer_.reset(new std::uint8_t[std::size_t(std::max(bufferBytes_, 1))]());
      displayData_ = buffer_.get();
    }
    // Non-PCM with AutoConvert would open a converter; there is none (see SetupDisplays).
    levelPending_ = false;
    dataLength_ = 0;
    if (!displayData_) return;
  }
  if (auto* service = TMMConnectorService::Instance()) service->RecalcMaxSpeed();
  active_ = true;
  SetupDisplays();
  if (enabled_ && realTime_) PostStartIfRunnable();
}

void TMMConnector::Stopped() {
  if (active_) {
    active_ = false;
    if (running_) {
      running_ = false;
      timer_.stop();
    }
    LeavePump();
    paused_ = false;
    StopSilenceFeed();
    {
      std::lock_guard lock(lock_);
      converting_ = false;
      buffer_.reset();
      bufferBytes_ = 0;
      displayData_ = nullptr;
      dataLength_ = 0;
      levelPending_ = false;
    }
    if (refreshOnStop_) ResetMeters();
  }
  TMMDSPComponent::Stopped();
}

void TMMConnector::FillSilence() {
  std::lock_guard lock(lock_);
  if (!displayData_) return;
  std::memset(displayData_, silenceByte_, std::size_t(bufferBytes_));
  // The whole buffer reads as silence, so the feed has readings to hand out even when no
  // buffer had arrived before the pause.
  dataLength_ = bufferBytes_;
}

void TMMConnector::Paused() {
  if (active_ && !paused_) {
    paused_ = true;
    FillSilence();
    if (realTime_) StartSilenceFeed();
  }
  TMMDSPComponent::Paused();
}

void TMMConnector::Restarted() {
  paused_ = false;
  if (realTime_) StopSilenceFeed();
  TMMDSPComponent::Restarted();
}

void TMMConnector::Reset() {
  if (active_) FillSilence();
}

// ---- Silence feed --------------------------------------------------------------------------

void TMMConnector::StartSilenceFeed() {
  if (silenceFeed_ != kNoTick) return;
  int interval = 25;
  const int avg = displayFormat_.nAvgBytesPerSec;
  if (bufferBytes_ <= 8191 && avg > 0) interval = int(std::int64_t(bufferBytes_) * 1000 / avg);
  silenceFeed_ = ticks_.RegisterTick(
      interval, false, [this](void*) { SilenceTick(); }, this);
  if (silenceFeed_ == kNoTick) throw EOutOfResources("Not enough timers available");
}

void TMMConnector::StopSilenceFeed() {
  const TickHandle feed = silenceFeed_;
  silenceFeed_ = kNoTick;
  silenceRearm_ = false;
  {
    std::lock_guard lock(lock_);
    levelPending_ = false;
  }
  // Not under our lock: the tick thread may be waiting to run the feed right now.
  ticks_.UnregisterTick(feed);
}

void TMMConnector::SilenceTick() {
  // Tick thread: no lock, no meter; the next delivery on the GUI thread re-arms.
  if (!paused_) return;
  silenceArrival_.store(Now(), std::memory_order_relaxed);
  silenceRearm_.store(true, std::memory_order_release);
}

// ---- Data ----------------------------------------------------------------------------------

void TMMConnector::ProcessData(const void* data, int bytes) {
  if (!enabled_ || paused_ || !(isPCM_ || converting_) || !data || bytes <= 0) return;
  const std::int64_t now = Now();
  {
    std::lock_guard lock(lock_);
    // A stopped connector has no buffer and takes nothing.
    if (!displayData_ || !active_) return;
    arrival_ = now;
    dataLength_ = std::min(bytes, bufferBytes_);
    std::memcpy(displayData_, data, std::size_t(dataLength_));
    if (dataLength_ <= 0) return;
    if (level1_ || level2_) {
      // Readings of the previous buffer still due are dropped: the meters stay at most one
      // buffer behind the sound.
      levelPending_ = true;
      levelPosition_ = 0;
    }
  }
  if (!realTime_ && autoTrigger_) {
    if (OnGui()) {
      DoTrigger();
    } else if (auto* service = TMMConnectorService::Instance()) {
      pendingTriggers_.fetch_add(1);
      service->PostTrigger(this);
    }
  }
}

void TMMConnector::BufferReady(TWaveHdr* header) {
  const TWaveHdr* source = header;
  if (synchronize_ && header && header->dwBytesRecorded > 0 && header->Substitute())
    source = header->Substitute();
  if (source) ProcessData(source->Data(), int(source->dwBytesRecorded));
  TMMDSPComponent::BufferReady(header);
}

void TMMConnector::BufferLoad(TWaveHdr* header, bool& more) {
  TMMDSPComponent::BufferLoad(header, more);
  if (header) ProcessData(header->Data(), int(header->dwBytesRecorded));
}

void TMMConnector::DoTrigger() {
  if (!enabled_ || !(running_ || (!realTime_ && active_)) || !displayData_) return;
  {
    std::lock_guard lock(lock_);
    if (silenceRearm_.exchange(false, std::memory_order_acquire) && paused_) {
      arrival_ = silenceArrival_.load(std::memory_order_relaxed);
      if (level1_ || level2_) {
        levelPending_ = true;
        levelPosition_ = 0;
      }
    }
    if (levelPending_ && displayData_) {
      int u = level1_ ? level1_->BlockBytes() : 0;
      if (level2_) u = std::max(u, level2_->BlockBytes());
      bool due = true;
      if (synchronize_) {
        const std::uint32_t avg = displayFormat_.nAvgBytesPerSec;
        const std::int64_t dueUs =
            avg > 0 ? std::int64_t(1000000) * levelPosition_ / std::int64_t(avg) : 0;
        due = Now() - arrival_ >= dueUs;
      }
      if (due) {
        const int start = levelPosition_;
        levelPosition_ += u;
        if (dataLength_ >= start + u) {
          const std::uint8_t* reading = displayData_ + start;
          if (level1_) level1_->FeedData(reading);
          if (level2_) level2_->FeedData(reading);
        } else {
          levelPending_ = false;
        }
      }
    }
  }
  if (OnTrigger) OnTrigger(this);
}

void TMMConnector::Trigger() {
  if (!enabled_) return;
  if (!running_ && (realTime_ || !active_)) return;
  if (autoTrigger_ && triggerMethod_ != tmTimer) return;
  if (pendingTriggers_.load() > 0) return;
  if (OnGui()) {
    DoTrigger();
    return;
  }
  if (auto* service = TMMConnectorService::Instance()) {
    pendingTriggers_.fetch_add(1);
    service->PostTrigger(this);
  }
}

// ---- Service messages ----------------------------------------------------------------------

bool TMMConnector::PumpDriven() const {
  return autoTrigger_ && triggerMethod_ == tmMessage && enabled_ && running_;
}

void TMMConnector::HandleStartMessage() {
  // A second start message for a running connector (Enabled toggled twice) must not count
  // it twice, or the pump would never stop.
  if (!active_ || running_) return;
  pendingTriggers_ = 0;
  running_ = true;
  if (!autoTrigger_) return;
  if (triggerMethod_ == tmMessage) {
    if (auto* service = TMMConnectorService::Instance()) {
      countedInPump_ = true;
      service->AddMessageDriven();
      service->PostPump();
    }
  } else {
    timer_.start();
  }
}

void TMMConnector::HandleTriggerMessage() {
  // Counted off whatever happens, so one failed delivery does not block later triggers.
  struct Release {
    std::atomic<int>& count;
    ~Release() {
      if (count.fetch_sub(1) <= 0) count.fetch_add(1);
    }
  } release{pendingTriggers_};
  DoTrigger();
}

// ---- State ----------------------------------------------------------------------------------

bool TMMConnector::LevelPending() const {
  std::lock_guard lock(lock_);
  return levelPending_;
}

int TMMConnector::LevelPosition() const {
  std::lock_guard lock(lock_);
  return levelPosition_;
}

int TMMConnector::DataLength() const {
  std::lock_guard lock(lock_);
  return dataLength_;
}

std::int64_t TMMConnector::ArrivalTime() const {
  std::lock_guard lock(lock_);
  return arrival_;
}

}  // namespace ostrel

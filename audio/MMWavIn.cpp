#include "audio/MMWavIn.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <new>
#include <thread>

#include "platform/ExceptionReport.h"
#include "platform/PortAudioWaveIn.h"

namespace ostrel {

using namespace wavein_text;

namespace {
// The line break of the platform's messages: LF, then CR.
const QString kBreak = QStringLiteral("\n\r");
}  // namespace

// ---- Notification window ------------------------------------------------------------------

// The component's hidden window on the GUI thread: the device's notifications and the
// deferred stop arrive here as events.
class TWaveInNotifyWindow : public QObject {
 public:
  explicit TWaveInNotifyWindow(TMMCustomWaveIn* owner) : owner_(owner) {}

 protected:
  bool event(QEvent* e) override {
    if (e->type() != TWaveInNotifyEvent::EventType()) return QObject::event(e);
    auto* n = static_cast<TWaveInNotifyEvent*>(e);
    owner_->HandleNotify(n->msg, n->handle, n->header);
    return true;
  }

 private:
  TMMCustomWaveIn* owner_;
};

// ---- Critical section ------------------------------------------------------------------------

TMMCustomWaveIn::CsGuard::CsGuard(TMMCustomWaveIn& w) : w_(w), locked_(w.csActive_) {
  if (locked_) w_.cs_.lock();
}

TMMCustomWaveIn::CsGuard::~CsGuard() {
  if (locked_) w_.cs_.unlock();
}

// ---- Creation -------------------------------------------------------------------------------

TMMCustomWaveIn::TMMCustomWaveIn(QObject* owner, std::shared_ptr<TWaveInTable> platform)
    : TMMCustomSoundComponent(owner), platform_(std::move(platform)) {
  numDevs_ = platform_ ? int(platform_->waveInGetNumDevs()) : 0;
  window_ = new TWaveInNotifyWindow(this);
  RebuildFormat();  // 8-bit mono 11025 Hz
  SetDeviceID(0);   // fills ProductName
}

TMMCustomWaveIn::~TMMCustomWaveIn() {
  destroying_ = true;
  if (handle_ != 0) Close();
  if (thread_) thread_->End(5000);
  delete window_;
  window_ = nullptr;
  for (TWaveHdr*& h : headers_) {
    void* p = h;
    allocator_.Free(p);
    h = nullptr;
  }
  allocator_.FreeAll();
}

TMMWaveIn::TMMWaveIn(QObject* owner, std::shared_ptr<TWaveInTable> platform)
    : TMMCustomWaveIn(owner, platform ? std::move(platform) : BindPlatform()) {}

namespace {
std::shared_ptr<TWaveInTable>& DefaultPlatform() {
  static std::shared_ptr<TWaveInTable> platform;
  return platform;
}
}  // namespace

std::shared_ptr<TWaveInTable> TMMWaveIn::BindPlatform() {
  if (DefaultPlatform()) return DefaultPlatform();
  return PortAudioWaveIn::Shared();
}

void TMMWaveIn::SetDefaultPlatform(std::shared_ptr<TWaveInTable> platform) {
  DefaultPlatform() = std::move(platform);
}

// ---- Errors ------------------------------------------------------------------------------------

void TMMCustomWaveIn::FireEvent(const TNotifyEvent& event) {
  if (event) event(this);
}

void TMMCustomWaveIn::Error(const QString& message) {
  FireEvent(OnError);
  throw EMMWaveInError(message.toStdString());
}

QString TMMCustomWaveIn::PlatformMessage(const char* prefix, MMRESULT code) {
  char text[256] = {};
  QString body = QString::fromLatin1(kUnknownError);
  if (platform_ && platform_->waveInGetErrorText(code, text, 255) == MMSYSERR_NOERROR)
    body = QString::fromLocal8Bit(text);
  return QString::fromLatin1(prefix) + kBreak + body;
}

void TMMCustomWaveIn::Check(const char* prefix, MMRESULT code) {
  lastResult_ = code;
  if (code != MMSYSERR_NOERROR) Error(PlatformMessage(prefix, code));
}

bool TMMCustomWaveIn::OnGuiThread() const {
  return QCoreApplication::instance() &&
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

void TMMCustomWaveIn::Delay(int ms) {
  if (waitDelay_) {
    waitDelay_(ms);
    return;
  }
  if (OnGuiThread()) {
    if (QCoreApplication::closingDown()) return;
    // Re-entrant on purpose: other inputs' buffers, the connectors' pump and user input
    // are all handled inside this wait, including this component's own notifications.
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

// ---- Properties ------------------------------------------------------------------------------

void TMMCustomWaveIn::SetDeviceID(TMMDeviceId v) {
  if (StateHas(wiOpened)) Error(kPropertyWhileOpen);
  productName_ = QString::fromLatin1(kNoDevice);
  if (numDevs_ > 0 && v >= -1 && v < numDevs_) {
    lastResult_ = platform_->waveInGetDevCaps(v, &caps_, sizeof caps_);
    if (lastResult_ == MMSYSERR_NOERROR)
      productName_ = QString::fromLocal8Bit(caps_.szPname, int(qstrnlen(caps_.szPname, 31)));
  }
  deviceId_ = (v < -1 || v >= numDevs_) ? InvalidId : v;
}

void TMMCustomWaveIn::SetNumBuffers(int v) {
  if (v <= 1) return;
  v = std::min(v, kMaxBuffers);
  if (v == numBuffers_) return;
  if (StateHas(wiOpened)) Error(kPropertyWhileOpen);
  numBuffers_ = v;
}

void TMMCustomWaveIn::SetCallBackMode(TMMCBMode v) {
  if (StateHas(wiOpened)) Error(kPropertyWhileOpen);
  if (v == cmCallback) {
    // Buffers may not be handled inside the audio callback here: it must stay real-time
    // safe, so the mode is refused with the component's notice.
    ShowComponentMessage(QStringLiteral("TMMWaveIn"),
                         QStringLiteral("\"CallBacks\" are called at interrupt time !") + kBreak +
                             QStringLiteral("This is currently only supported under Windows 95"));
    return;
  }
  callBackMode_ = v;
}

TMMMode TMMCustomWaveIn::Mode() const {
  return channels_ == 1 ? mMono : channels_ == 2 ? mStereo : mMultiChannel;
}

void TMMCustomWaveIn::SetMode(TMMMode v) {
  if (v == mMono)
    SetChannels(1);
  else if (v == mStereo)
    SetChannels(2);
}

void TMMCustomWaveIn::SetChannels(int v) {
  v = std::clamp(v, 1, 8);
  if (v == channels_) return;
  if (StateHas(wiOpened)) Error(kPropertyWhileOpen);
  channels_ = v;
  RebuildFormat();
}

void TMMCustomWaveIn::SetBitLength(TMMBits v) {
  if (v != b8Bit && v != b16Bit) return;
  if (v == bitLength_) return;
  if (StateHas(wiOpened)) Error(kPropertyWhileOpen);
  bitLength_ = v;
  RebuildFormat();
}

void TMMCustomWaveIn::SetSampleRate(int v) {
  v = std::clamp(v, 8000, 100000);
  if (v == sampleRate_) return;
  if (StateHas(wiOpened)) Error(kPropertyWhileOpen);
  sampleRate_ = v;
  RebuildFormat();
}

void TMMCustomWaveIn::RebuildFormat() {
  const TWaveFormatEx f = MakePCMFormat(channels_, (int(bitLength_) + 1) * 8, sampleRate_);
  SetWaveFormat(&f);
}

void TMMCustomWaveIn::SetWaveFormat(const TWaveFormatEx* format) {
  Close();
  if (IsValidPCMFormat(format)) {
    // Copy first: the setters below hand intermediate records through here again.
    const TWaveFormatEx f = *format;
    SetSampleRate(int(f.nSamplesPerSec));
    SetBitLength(f.wBitsPerSample == 16 ? b16Bit : b8Bit);
    SetChannels(f.nChannels);
    TMMCustomSoundComponent::SetWaveFormat(&f);
  } else {
    TMMCustomSoundComponent::SetWaveFormat(format);
  }
  maxRecordBytes_ = ComputeMaxRecordBytes();
}

int TMMCustomWaveIn::BufferSize() const {
  // While the device is open, the size cut to whole blocks that the buffers really have.
  if (StateHas(wiOpened)) return OpenSizeFor(ConfiguredBufferSize());
  return ConfiguredBufferSize();
}

void TMMCustomWaveIn::SetBufferSize(int bytes) {
  bytes = std::max(bytes, 32);
  if (bytes == ConfiguredBufferSize()) return;
  if (StateHas(wiOpened)) Error(kPropertyWhileOpen);
  TMMCustomSoundComponent::SetBufferSize(bytes);
  allocator_.FreeAll();
}

void TMMCustomWaveIn::SetPriority(TThreadPriority v) {
  priority_ = v;
  if (thread_) thread_->SetPriority(v);
}

int TMMCustomWaveIn::ComputeMaxRecordBytes() const {
  if (maxRecordTime_ < 0) return INT_MAX;
  const TWaveFormatEx* f = WaveFormat();
  if (!f || f->nBlockAlign == 0 || f->nAvgBytesPerSec == 0 || f->nSamplesPerSec == 0)
    return INT_MAX;
  const std::int64_t align = f->nBlockAlign;
  std::int64_t bytes = maxRecordTime_;
  auto upToBlocks = [align](std::int64_t num, std::int64_t den) {
    // num / den bytes, taken up to the next whole number of blocks
    const std::int64_t blockDen = den * align;
    return (num + blockDen - 1) / blockDen * align;
  };
  if (timeFormat_ == tfMillisecond)
    bytes = upToBlocks(std::int64_t(maxRecordTime_) * f->nAvgBytesPerSec, 1000);
  else if (timeFormat_ == tfSample)
    bytes = upToBlocks(std::int64_t(maxRecordTime_) * f->nAvgBytesPerSec, f->nSamplesPerSec);
  if (bytes > INT_MAX) return INT_MAX;
  return int(bytes - bytes % align);
}

void TMMCustomWaveIn::SetTimeFormat(TMMTimeFormats v) {
  if (v == timeFormat_) return;
  const TWaveFormatEx* f = WaveFormat();
  // An unlimited capture stays unlimited in any unit.
  if (maxRecordTime_ >= 0 && f && f->nAvgBytesPerSec > 0) {
    const std::int64_t bytes = maxRecordBytes_;
    std::int64_t value = bytes;
    if (v == tfMillisecond)
      value = bytes * 1000 / f->nAvgBytesPerSec;
    else if (v == tfSample)
      value = bytes * f->nSamplesPerSec / f->nAvgBytesPerSec;
    maxRecordTime_ = int(std::min<std::int64_t>(value, INT_MAX));
  }
  timeFormat_ = v;
  maxRecordBytes_ = ComputeMaxRecordBytes();
}

void TMMCustomWaveIn::SetMaxRecordTime(int v) {
  maxRecordTime_ = v;
  maxRecordBytes_ = ComputeMaxRecordBytes();
}

// ---- Format check ----------------------------------------------------------------------------

namespace {
// The standard-format bit that must be advertised; 0 when the format has none to test.
std::uint32_t RequiredFormatBit(const TWaveFormatEx& f) {
  int group;
  if (f.nSamplesPerSec >= 8000 && f.nSamplesPerSec <= 11025)
    group = 0;
  else if (f.nSamplesPerSec >= 11026 && f.nSamplesPerSec <= 22050)
    group = 1;
  else if (f.nSamplesPerSec >= 22051 && f.nSamplesPerSec <= 48000)
    group = 2;
  else
    return 0;
  if (f.nChannels != 1 && f.nChannels != 2) return 0;
  if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) return 0;
  return StandardFormatBit(group, f.nChannels == 2, f.wBitsPerSample == 16);
}
}  // namespace

bool TMMCustomWaveIn::FormatCheck() {
  if (deviceId_ < -1 || deviceId_ >= numDevs_) return false;
  const TWaveFormatEx* f = WaveFormat();
  if (!f) return false;
  lastResult_ = platform_->waveInOpen(nullptr, deviceId_, f, nullptr, WAVE_FORMAT_QUERY);
  if (lastResult_ != MMSYSERR_NOERROR) return false;
  if (f->wFormatTag != WAVE_FORMAT_PCM) return true;
  TWaveInCaps caps{};
  lastResult_ = platform_->waveInGetDevCaps(deviceId_, &caps, sizeof caps);
  if (lastResult_ != MMSYSERR_NOERROR) return false;
  const std::uint32_t bit = RequiredFormatBit(*f);
  return bit == 0 || (caps.dwFormats & bit) != 0;
}

// ---- Open ---------------------------------------------------------------------------------

void TMMCustomWaveIn::Open() {
  if (numDevs_ == 0) Error(kNoDevice);
  if (deviceId_ == InvalidId) Error(kInvalidDeviceId);
  if (!WaveFormat()) Error(kInvalidFormat);
  if (StateHas(wiOpened)) Close();
  if (StateHas(wiOpened) || closing_) return;
  closing_ = resetting_ = stopping_ = stopPosted_ = false;
  try {
    if (!FormatCheck())
      Error(QStringLiteral("WaveInOpen:") + kBreak + QString::fromLatin1(kCannotRecordFormat));
    handle_ = 0;
    closePending_ = false;
    if (callBackMode_ != cmWindow) {
      csActive_ = true;
      if (callBackMode_ == cmThread) StartThread();
    }
    HWAVEIN h = 0;
    Check("WaveInOpen:", platform_->waveInOpen(&h, deviceId_, WaveFormat(), window_, 0));
    handle_ = h;

    // While the chain hears of the open, the component reads as closed.
    const TMMWaveInStates saved = state_;
    state_ = wiClosed;
    ChainWalk(TMMChainNotification::Opened);
    state_ = saved;

    for (int i = 0; i < kWaitTries && !StateHas(wiOpened); ++i) Delay(kWaitDelayMs);
    if (!StateHas(wiOpened))
      Error(QStringLiteral("WaveInOpen:") + kBreak + QString::fromLatin1(kCannotOpen));

    const int size = BufferSize();  // the open size: whole blocks, at least one
    for (int i = 0; i < numBuffers_; ++i) {
      if (headers_[i]) continue;
      void* block = allocator_.Alloc(0, std::size_t(kHeaderBytes + size));
      if (!block) Error(kNoHeaderMemory);
      auto* hdr = new (block) TWaveHdr();
      hdr->SetData(static_cast<std::uint8_t*>(block) + kHeaderBytes);
      hdr->dwBufferLength = std::uint32_t(size);
      headers_[i] = hdr;
    }
    for (int i = 0; i < numBuffers_; ++i)
      Check("WaveInPrepareHeader:",
            platform_->waveInPrepareHeader(handle_, headers_[i], kWaveHdrBaseSize));
    Opened();
  } catch (...) {
    FireEvent(OnError);
    state_ = wiOpened;
    Close();
    state_ = wiClosed;
    throw;
  }
}

void TMMCustomWaveIn::Opened() {
  TMMDSPComponent::Opened();
  FireEvent(OnOpen);
}

// ---- Start, pause, restart -------------------------------------------------------------------

void TMMCustomWaveIn::QueueHeader(TWaveHdr* header) {
  header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_PREPARED;
  Check("WaveInAddBuffer:", platform_->waveInAddBuffer(handle_, header, kWaveHdrBaseSize));
  CsGuard guard(*this);
  ++buffersOut_;
}

void TMMCustomWaveIn::Start() {
  try {
    if (!StateHas(wiOpened) || handle_ == 0) Open();
    if (!StateHas(wiOpened) || StateHas(wiStarted) || handle_ == 0) return;
    bytesRecorded_ = 0;
    inHandler_ = 0;
    buffersOut_ = 0;
    stopPending_ = stopping_ = resetting_ = stopPosted_ = false;
    maxRecordBytes_ = ComputeMaxRecordBytes();
    for (int i = 0; i < numBuffers_; ++i) QueueHeader(headers_[i]);
    Started();
  } catch (...) {
    FireEvent(OnError);
    state_ = state_ | wiStarted;  // so that Close stops the device first
    Close();
    state_ = wiClosed;
    throw;
  }
}

void TMMCustomWaveIn::Started() {
  state_ = state_ | wiStarted;
  if (!StateHas(wiPaused)) Check("WaveInStart:", platform_->waveInStart(handle_));
  ChainWalk(TMMChainNotification::Started);
  TMMDSPComponent::Started();
  FireEvent(OnStart);
}

void TMMCustomWaveIn::Pause() {
  try {
    if (!StateHas(wiOpened)) Open();
    if (StateHas(wiOpened) && !StateHas(wiPaused)) {
      if (StateHas(wiStarted)) Check("WaveInPause:", platform_->waveInStop(handle_));
      Paused();
    }
  } catch (...) {
    FireEvent(OnError);
    Close();
    throw;
  }
}

void TMMCustomWaveIn::Paused() {
  state_ = state_ | wiPaused;
  ChainWalk(TMMChainNotification::Paused);
  TMMDSPComponent::Paused();
  FireEvent(OnPause);
}

void TMMCustomWaveIn::Restart() {
  if (!StateHas(wiStarted) || !StateHas(wiPaused)) return;
  try {
    Check("WaveInRestart:", platform_->waveInStart(handle_));
    Restarted();
  } catch (...) {
    FireEvent(OnError);
    Close();
    throw;
  }
}

void TMMCustomWaveIn::Restarted() {
  state_ = state_ & ~wiPaused;
  ChainWalk(TMMChainNotification::Restarted);
  TMMDSPComponent::Restarted();
  FireEvent(OnRestart);
}

// ---- Buffers
// -------------------------------------------------------------------------------------

void TMMCustomWaveIn::BufferReturn(HWAVEIN, TWaveHdr* header) {
  if (!StateHas(wiStarted) || !header) return;
  if (resetting_ || stopping_) {
    // A stop is in progress: counted off once, delivered at most once, not queued again.
    if (!resetting_ && header->dwBytesRecorded > 0) BufferReady(header);
    CsGuard guard(*this);
    if (buffersOut_ > 0) --buffersOut_;
    if (buffersOut_ == 0) resetting_ = false;
    return;
  }
  ++inHandler_;
  {
    CsGuard guard(*this);
    if (buffersOut_ > 0) --buffersOut_;
  }
  std::exception_ptr failure;
  try {
    BufferReady(header);
    if (!stopPending_) QueueHeader(header);
  } catch (...) {
    failure = std::current_exception();
    FireEvent(OnError);
  }
  if (--inHandler_ == 0 && stopPending_ && !stopPosted_) {
    // Stop was asked for inside the handler: finish it once the handler has returned.
    stopPosted_ = true;
    stopping_ = true;
    PostWaveInNotify(window_, kDeferredStopMessage, handle_, nullptr);
  }
  if (failure) std::rethrow_exception(failure);
}

void TMMCustomWaveIn::BufferReady(TWaveHdr* header) {
  bytesRecorded_ += header->dwBytesRecorded;
  bool limit = false;
  if (maxRecordTime_ > 0 && bytesRecorded_ >= maxRecordBytes_) {
    const std::int64_t excess = bytesRecorded_ - maxRecordBytes_;
    header->dwBytesRecorded -=
        std::uint32_t(std::min<std::int64_t>(excess, header->dwBytesRecorded));
    bytesRecorded_ = maxRecordBytes_;
    limit = true;
  }
  TMMCustomSoundComponent::BufferReady(header);
  if (limit && !stopping_) Stop();
}

// ---- Stop
// ------------------------------------------------------------------------------------------

void TMMCustomWaveIn::Stop() {
  if (!StateHas(wiStarted) && !StateHas(wiPaused)) return;
  try {
    {
      CsGuard guard(*this);
      stopping_ = true;
      Check("WaveInStop:", platform_->waveInStop(handle_));
      resetting_ = true;
      Check("WaveInReset:", platform_->waveInReset(handle_));
    }
    if (inHandler_ == 0)
      for (int i = 0; i < kWaitTries && buffersOut_ > 0; ++i) Delay(kWaitDelayMs);
    Stopped();
  } catch (...) {
    FireEvent(OnError);
    Close();
    throw;
  }
}

void TMMCustomWaveIn::Stopped() {
  if (!StateHas(wiStarted) && !StateHas(wiPaused)) return;
  if (inHandler_ > 0) {
    stopPending_ = true;
    return;
  }
  state_ = state_ & ~(wiStarted | wiPaused);
  {
    CsGuard guard(*this);
    buffersOut_ = 0;
  }
  stopPending_ = false;
  ChainWalk(TMMChainNotification::Stopped);
  TMMDSPComponent::Stopped();
  if (!destroying_) FireEvent(OnStop);
  if (closePending_) Close();
}

// ---- Close
// ---------------------------------------------------------------------------------------

void TMMCustomWaveIn::Close() {
  if (!StateHas(wiOpened) || (closing_ && !closePending_)) return;
  try {
    closing_ = true;
    if (StateHas(wiStarted) || StateHas(wiPaused)) Stop();
    if (stopPending_) {
      closePending_ = true;  // Stopped closes once the running handler has left
      return;
    }
    closePending_ = false;
    bool closeNoticeMissing = false;
    if (handle_ != 0) {
      platform_->waveInStop(handle_);
      platform_->waveInReset(handle_);
      for (int i = 0; i < kMaxBuffers; ++i) {
        TWaveHdr* h = headers_[i];
        if (!h) continue;
        int polls = 0;
        while (!(h->dwFlags & WHDR_DONE) && polls < 65000) ++polls;
        if (!(h->dwFlags & WHDR_DONE)) h->dwFlags = WHDR_DONE;
        Check("WaveInUnprepareHeader:",
              platform_->waveInUnprepareHeader(handle_, h, kWaveHdrBaseSize));
      }
      Check("WaveInClose:", platform_->waveInClose(handle_));
      for (int i = 0; i < kWaitTries && !StateHas(wiClosed); ++i) Delay(kWaitDelayMs);
      closeNoticeMissing = !StateHas(wiClosed);
    } else {
      state_ = wiClosed;
    }
    ChainWalk(TMMChainNotification::Closed);
    if (callBackMode_ == cmThread)
      EndThread();
    else
      csActive_ = false;
    Closed();
    if (closeNoticeMissing) {
      // The device took the close and the handle is gone: whatever notice may still come
      // is ignored, so the component is closed and can be opened again.
      state_ = wiClosed;
      Error(QStringLiteral("WaveInClose:") + kBreak + QString::fromLatin1(kCannotClose));
    }
  } catch (...) {
    // Close never raises: OnError has fired inside Error already.
    closing_ = false;
  }
}

void TMMCustomWaveIn::Closed() {
  handle_ = 0;
  for (TWaveHdr*& h : headers_) {
    if (!h) continue;
    void* p = h;
    allocator_.Free(p);
    h = nullptr;
  }
  closing_ = false;
  TMMDSPComponent::Closed();
  if (!destroying_) FireEvent(OnClose);
}

// ---- Capture thread
// ------------------------------------------------------------------------------

void TMMCustomWaveIn::StartThread() {
  CsGuard guard(*this);
  QPointer<QObject> window(window_);
  thread_ = std::make_unique<TMMWaveInThread>(
      [this](HWAVEIN h, TWaveHdr* header) {
        if (h == handle_ && h != 0) BufferReturn(h, header);
      },
      [this, window](std::exception_ptr error) {
        // The GUI thread closes the component and reports: the chain's meters may only be
        // touched there.
        QMetaObject::invokeMethod(
            window.data(),
            [this, window, error] {
              if (!window) return;
              Close();
              ReportException(error);
            },
            Qt::QueuedConnection);
      });
  if (!thread_->Start(priority_, 5000)) {
    thread_.reset();
    Error(QStringLiteral("WaveIn:") + kBreak + QString::fromLatin1(kNoThread));
  }
}

void TMMCustomWaveIn::EndThread() {
  if (thread_) {
    thread_->End(5000);
    thread_.reset();
  }
  csActive_ = false;
}

// ---- Notifications
// -------------------------------------------------------------------------------

void TMMCustomWaveIn::HandleNotify(std::uint32_t msg, HWAVEIN handle, TWaveHdr* header) {
  if (handle == 0 || handle != handle_) return;  // a closed device's late notice
  switch (msg) {
    case WIM_OPEN:
      state_ = wiOpened;
      return;
    case WIM_CLOSE:
      state_ = wiClosed;
      return;
    case WIM_DATA:
    case kDeferredStopMessage:
      break;
    default:
      return;
  }
  try {
    if (msg == kDeferredStopMessage)
      Stop();
    else if (callBackMode_ == cmThread && thread_)
      thread_->Post(handle, header);
    else
      BufferReturn(handle, header);
  } catch (...) {
    // No caller can take this: close the device and let the application report it.
    const std::exception_ptr error = std::current_exception();
    Close();
    ReportException(error);
  }
}

}  // namespace ostrel

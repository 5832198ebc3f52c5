#include "platform/CaptureStream.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace ostrel {

CaptureStream::CaptureStream(HWAVEIN handle, QObject* target, std::uint32_t frameBytes)
    : handle_(handle),
      target_(target),
      frameBytes_(std::max<std::uint32_t>(frameBytes, 1)),
      backlog_(std::size_t(frameBytes_) * kBacklogFrames) {
  if (::pipe(pipe_) == 0) {
    for (int fd : pipe_) {
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
      ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
  }
}

CaptureStream::~CaptureStream() {
  delete notifier_;
  for (int fd : pipe_)
    if (fd >= 0) ::close(fd);
}

// ---- Audio side ---------------------------------------------------------------------------

void CaptureStream::Wake() {
  if (wakePending_.exchange(true, std::memory_order_acq_rel)) return;
  const char byte = 1;
  if (pipe_[1] >= 0) {
    const auto written = ::write(pipe_[1], &byte, 1);  // a full pipe already wakes the reader
    (void)written;
  }
}

std::size_t CaptureStream::ToBuffers(const std::uint8_t* src, std::size_t bytes, bool& handedBack) {
  std::size_t taken = 0;
  while (taken < bytes) {
    if (!current_) {
      if (!queued_.Pop(current_)) break;
      fill_ = 0;
    }
    const std::size_t n = std::min<std::size_t>(bytes - taken, current_->dwBufferLength - fill_);
    if (src) {
      std::memcpy(current_->Data() + fill_, src + taken, n);
    } else {
      std::memset(current_->Data() + fill_, 0, n);
    }
    fill_ += std::uint32_t(n);
    taken += n;
    if (fill_ >= current_->dwBufferLength) {
      current_->dwBytesRecorded = fill_;
      current_->dwFlags = (current_->dwFlags | WHDR_DONE) & ~WHDR_INQUEUE;
      done_.Push(current_);  // cannot be full: it holds at most what was queued
      current_ = nullptr;
      handedBack = true;
    }
  }
  return taken;
}

void CaptureStream::DrainBacklog(bool& handedBack) {
  while (backlogSize_ > 0) {
    // The oldest bytes up to the ring's end, then (next round) from its start.
    const std::size_t run = std::min(backlogSize_, backlog_.size() - backlogHead_);
    const std::size_t taken = ToBuffers(backlog_.data() + backlogHead_, run, handedBack);
    backlogHead_ = (backlogHead_ + taken) % backlog_.size();
    backlogSize_ -= taken;
    if (taken < run) return;  // out of buffers
  }
  backlogHead_ = 0;
}

void CaptureStream::ToBacklog(const std::uint8_t* src, std::size_t bytes) {
  const std::size_t room = backlog_.size() - backlogSize_;
  const std::size_t keep = std::min(bytes, room) / frameBytes_ * frameBytes_;
  if (bytes > keep) {
    dropped_.fetch_add((bytes - keep) / frameBytes_, std::memory_order_relaxed);
    totalDropped_.fetch_add((bytes - keep) / frameBytes_, std::memory_order_relaxed);
  }
  std::size_t tail = (backlogHead_ + backlogSize_) % std::max<std::size_t>(backlog_.size(), 1);
  for (std::size_t done = 0; done < keep;) {
    const std::size_t n = std::min(keep - done, backlog_.size() - tail);
    if (src) {
      std::memcpy(backlog_.data() + tail, src + done, n);
    } else {
      std::memset(backlog_.data() + tail, 0, n);
    }
    done += n;
    tail = (tail + n) % backlog_.size();
  }
  backlogSize_ += keep;
}

void CaptureStream::Fill(const void* data, std::size_t bytes) {
  auto* src = static_cast<const std::uint8_t*>(data);
  bool handedBack = false;
  captured_.fetch_add(bytes, std::memory_order_relaxed);
  // Older audio first: whatever waits in the backlog goes out before the new block.
  DrainBacklog(handedBack);
  std::size_t taken = 0;
  if (backlogSize_ == 0) taken = ToBuffers(src, bytes, handedBack);
  if (taken < bytes) ToBacklog(src ? src + taken : nullptr, bytes - taken);
  if (handedBack) Wake();
}

void CaptureStream::MarkFailed() {
  failed_.store(true, std::memory_order_release);
  Wake();
}

// ---- GUI side -----------------------------------------------------------------------------

MMRESULT CaptureStream::Add(TWaveHdr* header) {
  if (!header || !header->Data() || header->dwBufferLength == 0) return MMSYSERR_INVALPARAM;
  if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  if (Failed()) return MMSYSERR_NODRIVER;
  std::lock_guard lock(addMutex_);
  header->dwBytesRecorded = 0;
  header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  if (!queued_.Push(header)) {
    header->dwFlags &= ~WHDR_INQUEUE;
    return MMSYSERR_NOMEM;
  }
  ++outstanding_;
  return MMSYSERR_NOERROR;
}

void CaptureStream::Return(TWaveHdr* header, std::uint32_t bytes) {
  header->dwBytesRecorded = bytes;
  header->dwFlags = (header->dwFlags | WHDR_DONE) & ~WHDR_INQUEUE;
  --outstanding_;
  PostWaveInNotify(target_, WIM_DATA, handle_, header);
}

void CaptureStream::Drain() {
  wakePending_.store(false, std::memory_order_release);
  if (pipe_[0] >= 0) {
    char sink[64];
    while (::read(pipe_[0], sink, sizeof sink) > 0) {
    }
  }
  TWaveHdr* header = nullptr;
  while (done_.Pop(header)) Return(header, header->dwBytesRecorded);
  if (Failed() && !failureReturned_) {
    // The device is gone and its audio side has ended: every buffer still out comes back,
    // so none is lost from the owner's pool.
    failureReturned_ = true;
    ReturnAll();
  }
}

void CaptureStream::ReturnPartial() {
  Drain();
  if (current_ && fill_ > 0) {
    TWaveHdr* header = current_;
    current_ = nullptr;
    Return(header, fill_);
    fill_ = 0;
  }
}

void CaptureStream::ReturnAll() {
  Drain();
  backlogHead_ = 0;  // a stopped device's waiting audio is not delivered after the stop
  backlogSize_ = 0;
  if (current_) {
    TWaveHdr* header = current_;
    current_ = nullptr;
    Return(header, fill_);
    fill_ = 0;
  }
  TWaveHdr* header = nullptr;
  while (queued_.Pop(header)) Return(header, 0);
}

void CaptureStream::Notify(std::uint32_t msg) {
  Drain();
  PostWaveInNotify(target_, msg, handle_, nullptr);
}

}  // namespace ostrel

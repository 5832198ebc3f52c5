#pragma once
// The buffer traffic of one open capture device, shared by every wave-in binding.
//
// The GUI thread queues buffers (Add); the audio side (an audio callback, or a test playing
// the device) fills them in queue order with Fill and hands each full one back. The two
// sides meet only in two lock-free single-producer single-consumer queues, an atomic
// counter or two and a self-pipe that wakes the GUI thread: Fill never allocates, never
// locks and never calls into Qt. On the GUI thread, Drain turns returned buffers into data
// notifications, so open, data and close notifications reach the target in the order they
// happened.

#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/SpscQueue.h"
#include "platform/WaveInTable.h"

class QSocketNotifier;

namespace ostrel {

class CaptureStream : public QObject {
  Q_OBJECT
 public:
  static constexpr std::size_t kMaxQueued = 4096;
  // Audio that arrives while no buffer is queued waits in a backlog of this many frames
  // (about half a second at 96 kHz) until buffers come back: hosts deliver in bursts larger
  // than the few small buffers a capture input keeps queued.
  static constexpr std::size_t kBacklogFrames = 49152;

  CaptureStream(HWAVEIN handle, QObject* target, std::uint32_t frameBytes);
  ~CaptureStream() override;

  // ---- Audio side: one thread at a time; real-time safe --------------------------------
  // Copies `bytes` bytes into the queued buffers in order. Frames that find no queued
  // buffer wait in the backlog; only frames that find the backlog full are dropped and
  // counted.
  void Fill(const void* data, std::size_t bytes);
  // The same for whole frames; a null `data` is captured as silence, keeping the timeline.
  void FillFrames(const void* data, std::size_t frames) { Fill(data, frames * frameBytes_); }
  // The device stopped by itself (it vanished or failed): no more Fill calls will come.
  void MarkFailed();

  // ---- GUI side --------------------------------------------------------------------------
  // Queues a prepared buffer. Safe from one extra thread (a capture thread re-queueing).
  MMRESULT Add(TWaveHdr* header);
  // Only while the audio side is halted: gives back the partly filled buffer, if any.
  void ReturnPartial();
  // Only while the audio side is halted: gives back every queued buffer, in queue order.
  void ReturnAll();
  // Posts an open or close notification after everything returned before it.
  void Notify(std::uint32_t msg);
  // Posts a data notification for every buffer the audio side has given back.
  void Drain();

  HWAVEIN Handle() const { return handle_; }
  bool Failed() const { return failed_.load(std::memory_order_acquire); }
  std::uint64_t DroppedFrames() const { return dropped_.load(std::memory_order_relaxed); }
  // Frames dropped by every capture stream of the process since it started.
  static std::uint64_t TotalDroppedFrames() {
    return totalDropped_.load(std::memory_order_relaxed);
  }
  std::uint64_t BytesCaptured() const { return captured_.load(std::memory_order_relaxed); }
  // Buffers added and not yet given back.
  int Outstanding() const { return outstanding_.load(); }

 private:
  void Wake();
  void Return(TWaveHdr* header, std::uint32_t bytes);
  // Audio side: copies into queued buffers until they run out; returns the bytes taken and
  // sets `handedBack` when a buffer was filled.
  std::size_t ToBuffers(const std::uint8_t* src, std::size_t bytes, bool& handedBack);
  void DrainBacklog(bool& handedBack);
  void ToBacklog(const std::uint8_t* src, std::size_t bytes);

  const HWAVEIN handle_;
  QPointer<QObject> target_;
  const std::uint32_t frameBytes_;

  SpscQueue<TWaveHdr*, kMaxQueued> queued_;  // GUI -> audio
  SpscQueue<TWaveHdr*, kMaxQueued> done_;    // audio -> GUI
  std::mutex addMutex_;                      // never taken by the audio side

  // Audio side (the GUI side touches them only while the audio side is halted).
  TWaveHdr* current_ = nullptr;
  std::uint32_t fill_ = 0;
  std::vector<std::uint8_t> backlog_;  // ring, allocated once at construction
  std::size_t backlogHead_ = 0;        // oldest byte
  std::size_t backlogSize_ = 0;

  std::atomic<std::uint64_t> dropped_{0};
  static inline std::atomic<std::uint64_t> totalDropped_{0};
  std::atomic<std::uint64_t> captured_{0};
  std::atomic<bool> failed_{false};
  std::atomic<bool> wakePending_{false};
  bool failureReturned_ = false;     // GUI side
  std::atomic<int> outstanding_{0};  // GUI side and a re-queueing capture thread
  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace ostrel

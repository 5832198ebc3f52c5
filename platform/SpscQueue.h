#pragma once
// Lock-free single-producer single-consumer ring of fixed capacity. The audio callback
// hands buffers to the GUI thread through it (and takes new ones from it) without locks or
// allocation. The producer and consumer indices sit on separate cache lines so the two
// threads do not keep stealing one line from each other.

#include <array>
#include <atomic>
#include <cstddef>
#include <new>

namespace ostrel {

template <typename T, std::size_t Capacity>
class SpscQueue {
  static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "power of two");

 public:
  // Producer side. False when full.
  bool Push(const T& value) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) == Capacity) return false;
    slots_[tail & (Capacity - 1)] = value;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }

  // Consumer side. False when empty.
  bool Pop(T& value) {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return false;
    value = slots_[head & (Capacity - 1)];
    head_.store(head + 1, std::memory_order_release);
    return true;
  }

  // Either side; exact only while the other side is idle.
  std::size_t Size() const {
    return tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_acquire);
  }
  bool Empty() const { return Size() == 0; }

 private:
  static constexpr std::size_t kLine = 64;
  alignas(kLine) std::atomic<std::size_t> head_{0};  // written by the consumer
  alignas(kLine) std::atomic<std::size_t> tail_{0};  // written by the producer
  alignas(kLine) std::array<T, Capacity> slots_{};
};

}  // namespace ostrel

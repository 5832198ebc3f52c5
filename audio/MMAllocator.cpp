#include "audio/MMAllocator.h"

#include <new>

namespace ostrel {

void* TMMAllocator::Alloc(std::uint32_t, std::size_t size) {
  std::lock_guard lock(mutex_);
  Block* chosen = nullptr;
  for (Block& b : blocks_)
    if (b.uses == 0 && b.size == size) {
      chosen = &b;
      break;
    }
  if (!chosen)
    for (Block& b : blocks_)
      if (b.uses == 0 && b.size >= size) {
        chosen = &b;
        break;
      }
  if (!chosen) {
    Block block;
    block.memory.reset(new (std::nothrow) std::uint8_t[size == 0 ? 1 : size]());
    if (!block.memory) return nullptr;
    block.size = size;
    blocks_.push_back(std::move(block));
    chosen = &blocks_.back();
  }
  ++chosen->uses;
  return chosen->memory.get();
}

void TMMAllocator::Free(void*& p) {
  if (!p) return;
  std::lock_guard lock(mutex_);
  for (Block& b : blocks_)
    if (b.memory.get() == p) {
      if (b.uses > 0) --b.uses;
      break;
    }
  p = nullptr;
}

void TMMAllocator::FreeAll() {
  std::lock_guard lock(mutex_);
  blocks_.clear();
}

std::size_t TMMAllocator::BlockCount() const {
  std::lock_guard lock(mutex_);
  return blocks_.size();
}

int TMMAllocator::InUse() const {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (const Block& b : blocks_) n += b.uses;
  return n;
}

}  // namespace ostrel

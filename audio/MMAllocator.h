#pragma once
// A small pool of zero-filled memory blocks, one per capture component: buffers taken at
// open go back into the pool at close and are reused by the next open, so capturing
// allocates nothing after the first open.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace ostrel {

class TMMAllocator {
 public:
  // A free block of exactly `size` bytes, else the first free block at least that large,
  // else a new zero-filled one. Null when memory runs out. `flags` are kept for the
  // platform's allocation flags and not looked at.
  void* Alloc(std::uint32_t flags, std::size_t size);
  // Gives a block back (it stays in the pool, not cleared again) and clears `p`.
  void Free(void*& p);
  // Frees every block.
  void FreeAll();

  std::size_t BlockCount() const;
  // Blocks handed out and not given back.
  int InUse() const;

 private:
  struct Block {
    std::unique_ptr<std::uint8_t[]> memory;
    std::size_t size = 0;
    int uses = 0;
  };
  mutable std::mutex mutex_;
  std::vector<Block> blocks_;
};

}  // namespace ostrel

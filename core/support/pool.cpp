// The handle pool: one slab of kPoolBlockCount blocks of kPoolBlockSize bytes for the control
// blocks of shared handles, a free stack of block indices, and the heap for everything else.
// It is constant-initialised, so it is ready before any static constructor of the game runs.
#include "support/support.h"

#include <array>
#include <cstddef>
#include <cstdlib>
#include <mutex>

namespace {

// Everything in front of a block is aligned like a heap allocation, so a block may hold any
// object; the header word sits in its last four bytes, right before the block.
constexpr std::size_t kPrefixSize = alignof(std::max_align_t);

struct alignas(alignof(std::max_align_t)) PoolSlot {
  unsigned char padding[kPrefixSize - sizeof(std::uint32_t) - 1]{};
  bool live = false;          // handed out: catches a block returned twice
  std::uint32_t header = 1;   // pool block
  alignas(alignof(std::max_align_t)) unsigned char block[kPoolBlockSize]{};
};
static_assert(offsetof(PoolSlot, block) == kPrefixSize);
static_assert(offsetof(PoolSlot, header) + sizeof(std::uint32_t) == kPrefixSize);

consteval std::array<std::uint16_t, kPoolBlockCount> allFree() {
  std::array<std::uint16_t, kPoolBlockCount> stack{};
  // The first block taken is the first in the slab.
  for (std::size_t i = 0; i < kPoolBlockCount; ++i)
    stack[i] = static_cast<std::uint16_t>(kPoolBlockCount - 1 - i);
  return stack;
}

constinit PoolSlot gSlab[kPoolBlockCount];
constinit std::array<std::uint16_t, kPoolBlockCount> gFreeStack = allFree();
constinit std::size_t gFreeTop = kPoolBlockCount;  // number of entries on the free stack
constinit std::mutex gPoolLock;

std::uint32_t& headerOf(void* block) {
  return *reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(block) -
                                           sizeof(std::uint32_t));
}

PoolSlot* slotOf(void* block) {
  return reinterpret_cast<PoolSlot*>(static_cast<unsigned char*>(block) - kPrefixSize);
}

[[noreturn]] void poolCorrupted(const char* what) {
  logMessage(what);
  std::abort();
}

void* heapAlloc(std::size_t size) {
  if (size > static_cast<std::size_t>(-1) - kPrefixSize) throw DBadAlloc();
  auto* base = static_cast<unsigned char*>(::operator new(kPrefixSize + size));
  void* block = base + kPrefixSize;
  headerOf(block) = 0;
  return block;
}

}  // namespace

void* poolAlloc(std::size_t size) {
  if (size == kPoolBlockSize) {
    std::lock_guard<std::mutex> guard(gPoolLock);
    if (gFreeTop > 0) {
      PoolSlot& slot = gSlab[gFreeStack[--gFreeTop]];
      slot.live = true;
      return slot.block;
    }
  }
  return heapAlloc(size);
}

void poolFree(void* block) {
  if (block == nullptr) return;
  if (headerOf(block) == 0) {
    ::operator delete(static_cast<unsigned char*>(block) - kPrefixSize);
    return;
  }
  PoolSlot* slot = slotOf(block);
  auto at = reinterpret_cast<std::uintptr_t>(slot);
  auto first = reinterpret_cast<std::uintptr_t>(gSlab);
  if (at < first || at >= first + sizeof gSlab || (at - first) % sizeof(PoolSlot) != 0)
    poolCorrupted("[poolFree] block marked as a pool block lies outside the pool\n");
  std::lock_guard<std::mutex> guard(gPoolLock);
  if (!slot->live) poolCorrupted("[poolFree] pool block returned twice\n");
  slot->live = false;
  gFreeStack[gFreeTop++] = static_cast<std::uint16_t>(slot - gSlab);
}

std::size_t poolAvailable() {
  std::lock_guard<std::mutex> guard(gPoolLock);
  return gFreeTop;
}

bool poolIsPoolBlock(const void* block) {
  return headerOf(const_cast<void*>(block)) != 0;
}

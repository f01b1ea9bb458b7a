#include "game/key_presses.h"

namespace sagebrook {

std::atomic<uint8_t> KeyPressedFlags[256] = {};

void RecordKeyPress(uint32_t key) {
  if (key < 256) KeyPressedFlags[key].store(1, std::memory_order_relaxed);
}

bool TakeKeyPress(uint32_t key) {
  if (key >= 256 || KeyPressedFlags[key].load(std::memory_order_relaxed) == 0) return false;
  KeyPressedFlags[key].store(0, std::memory_order_relaxed);
  return true;
}

}  // namespace sagebrook

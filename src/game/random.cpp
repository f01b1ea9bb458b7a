#include "game/random.h"

namespace sagebrook {

namespace {
uint32_t RandomState = 1;
}

void srand(uint32_t seed) {
  RandomState = seed;
}

int32_t rand() {
  RandomState = RandomState * 214013u + 2531011u;
  return static_cast<int32_t>((RandomState >> 16) & 0x7FFFu);
}

}  // namespace sagebrook

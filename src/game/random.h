#pragma once
// The plugin's own generator, so a seed gives the same draws on every platform.
#include <cstdint>

namespace sagebrook {

void srand(uint32_t seed);
// 0..32767
int32_t rand();

}  // namespace sagebrook

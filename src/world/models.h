#pragma once
#include <cstdint>

namespace sagebrook {

inline constexpr int32_t kModelWaitFrames = 200;

// Streams the model in, yielding up to kModelWaitFrames frames to the game.
// False when the game does not know it or it did not arrive in time.
bool LoadModel(uint32_t modelHash);

}  // namespace sagebrook

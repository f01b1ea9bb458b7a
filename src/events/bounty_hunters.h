#pragma once
#include <cstdint>

namespace sagebrook {

extern const char* const HunterModels[2];
extern const char* const HoundModels[3];

// Three or four sharp-shooting hunters and one to three attack dogs turn up
// 30 to 50 m from the player and hunt them, none of them ever fleeing.
void StartBountyHunters(int32_t playerPed);

}  // namespace sagebrook

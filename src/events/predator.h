#pragma once
#include <cstdint>

namespace sagebrook {

struct PredatorKind {
  const char* model;
  const char* weapon;  // its bite or claws
};
extern const PredatorKind PredatorKinds[3];

// A wild predator attacks the nearest living human 12 to 70 m from the
// player, or else comes off a road at spawn distance for the player.
void StartPredatorAttack(int32_t playerPed);

}  // namespace sagebrook

#pragma once
#include <cstdint>

namespace sagebrook {

// Pending strangers become the game's own once the player is this close.
inline constexpr float kStrangerRadius = 18.0f;

// The greetable-stranger set-up: greeting, interaction, a timid personality,
// the stranger's speech lines and prompt name.
void MakeGreetableStranger(int32_t ped);

// Hands every pending stranger within kStrangerRadius of the player back to
// the game as a greetable stranger, out of every list; drops the vanished.
void UpdateStrangers(int32_t playerPed);

}  // namespace sagebrook

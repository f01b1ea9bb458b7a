#pragma once
// A game that misbehaves on top of whatever world is loaded: models go
// missing, arrive late or never, creations fail, entities, blips and ropes
// vanish, the player's ped is lost or dies, control goes, the clock jumps,
// frames hitch, and the tick count wraps. The same seed gives the same faults
// for the same calls.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sim {

struct ChaosFault {
  std::string kind;    // e.g. "model never arrives"
  std::string detail;  // what it struck, e.g. "A_C_Wolf"
};

// Wraps the creating natives and sets the tick to wrap after wrapAfterMs; call
// after Reset and before the world is built. modelName names models in details.
void BeginChaos(uint32_t seed, uint32_t wrapAfterMs,
                std::function<std::string(uint32_t)> modelName = {});
// The game's doing after a frame; eventWaits while the plugin waits inside its
// frame for an event. Returns what went wrong in this frame.
std::vector<ChaosFault> ChaosAfterFrame(bool eventWaits);
// The game behaves again: faults stop, the player has a living ped and control.
void EndChaos();
// An entity the game made itself (the player's new ped, passers-by).
bool MadeByChaos(int32_t handle);

}  // namespace sim

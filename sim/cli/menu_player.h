#pragma once
// The restless player of --chaos: works the plugin's menu at random with the
// keyboard and the gamepad. He fires events, now and then one after another
// until the registry is full, changes settings and clears what was spawned;
// just before his Clear Spawned the game removes an entry of each list the
// clear deletes from. Seeded: the same seed gives the same presses.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace simcli {

// His first crowd comes after firstCrowdAfterMs, whatever chance brings.
void BeginMenuPlayer(uint32_t seed, uint32_t firstCrowdAfterMs);
// One press toward his aim, between the plugin's frames, playedMs into the
// play. Returns what he did and what the game did with it: ("player" or
// "fault", what).
std::vector<std::pair<const char*, std::string>> MenuPlayerStep(uint64_t playedMs);
// His last act is Clear Spawned, while the game behaves; then he rests.
void LastClearSpawned();
bool MenuPlayerResting();

}  // namespace simcli

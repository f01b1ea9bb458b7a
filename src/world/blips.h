#pragma once
#include <cstdint>

namespace sagebrook {

// Marks the entity on the map and records the blip in EventBlips. An enemy
// blip lasts as long as its entity; a pulse blip expires after 5 to 10 s
// unless keep is set. Does nothing with Event Blips off or entity 0.
void AddEventBlip(int32_t entity, bool enemy, bool keep);

}  // namespace sagebrook

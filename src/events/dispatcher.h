#pragma once
#include <cstdint>

namespace sagebrook {

enum class EventKind : int32_t {
  PredatorAttack = 1,
  RunawayWagon = 2,
  PublicHanging = 3,
  DrunkenFolk = 4,
  BountyHunters = 5,
};

using EventStart = void (*)(int32_t playerPed);

// Start functions by kind (index kind - 1); a kind whose event is not built
// yet has none and does nothing when chosen.
extern EventStart EventStarts[5];

void DispatchRandomEvent(int32_t playerPed);

// Counts the events started; an event may yield frames, so a caller that
// sees it change knows handles it holds may have vanished meanwhile.
extern uint32_t EventsStarted;

}  // namespace sagebrook

#pragma once
#include <cstdint>

#include "game/native_invoke.h"

namespace sagebrook {

extern const char* const WagonModels[8];

// The latest wagon, watched until it runs or is given up.
struct WagonWatchRecord {
  int32_t vehicle = 0;  // 0: nothing watched
  int32_t driver = 0;   // 0: the driver failed to spawn
  ScriptVector destination;
  uint32_t modelHash = 0;
  uint32_t checkAt = 0;
  bool kicked = false;  // its one kick-start is spent
};
extern WagonWatchRecord WagonWatch;

inline constexpr float kRoadSearchRange = 60.0f;
inline constexpr float kWagonLeadDistance = 250.0f;
inline constexpr int32_t kDraftWaitSteps = 30;
inline constexpr uint32_t kDraftWaitStepMs = 50;
inline constexpr uint32_t kWagonCheckMs = 3000;
inline constexpr float kWagonRunningSpeed = 1.5f;

// A horse-drawn wagon already under way on a road near the player, with a
// driver, sometimes a passenger.
void StartRunawayWagon(int32_t playerPed);

// The frame's watchdog: a wagon still standing 3 s after it appeared gets
// its drive order once more; still standing 3 s later, it is let go.
void WagonKickstart();

}  // namespace sagebrook

#pragma once
// The public hanging: outlaws stage an execution under a branch or beam near
// the player, fit the noose after a lead-in, and the victim hangs until he
// dies, is freed or the time runs out. One hanging at a time.
#include <cstdint>

#include "game/native_invoke.h"

namespace sagebrook {

extern const char* const CriminalModels[2];

inline constexpr int32_t kNoRope = -1;

struct ExecutionStateRecord {
  bool active = false;
  int32_t phase = 0;           // 0 lead-in, 1 rigged
  uint32_t phaseDeadline = 0;  // end of the lead-in, then of the hanging
  uint32_t nextDrainAt = 0;
  int32_t victim = 0;
  int32_t executioners[2] = {0, 0};  // either may be 0
  int32_t anchorObject = 0;
  int32_t rope = kNoRope;
  float ropeLength = 0.0f;
  bool hung = false;  // the noose rig was completed
  uint32_t hungAt = 0;
  float groundZ = 0.0f;
  ScriptVector anchor;
};
extern ExecutionStateRecord ExecutionState;

struct FreedVictimMoodRecord {
  int32_t freedVictim = 0;
  uint32_t happyUntil = 0;
};
extern FreedVictimMoodRecord FreedVictimMood;

// The player calls go on until then after a hanging; 0 when not set, before
// the first hanging and once it has passed.
extern uint32_t executionQuietUntil;

inline constexpr uint32_t kLeadInMs = 6000;
inline constexpr uint32_t kHangingLimitMs = 70000;
inline constexpr uint32_t kGroundGraceMs = 5000;
inline constexpr uint32_t kDrainIntervalMs = 300;
inline constexpr uint32_t kHappyMs = 12000;
inline constexpr uint32_t kQuietMs = 30000;

// The dispatcher's start for the hanging.
void StartPublicHanging(int32_t playerPed);
// Up to ten sites around the player, each with a ray straight up; true with
// the site on the ground and the anchor just under what the ray hit.
bool FindOverheadAnchor(int32_t playerPed, ScriptVector& site, ScriptVector& anchor);
// Hangs the victim from ExecutionState.anchor. Sets hung only when the
// anchor prop and the rope both exist; otherwise leaves nothing behind.
void RigNoose(int32_t victim);

// The frame's steps, in this order: the hanging's progress, the calls on the
// player during it and for a while after, the freed victim's mood.
void UpdatePublicHanging();
void HangingPlayerCalls(int32_t player);
void KeepFreedVictimHappy();

// Lets the executioners and a dead victim go and returns to idle; the player
// calls go on for a while after.
void EndExecution();
// Clear Spawned's part: idle, with no victim, guards, prop or rope.
void StandDownHanging();

}  // namespace sagebrook

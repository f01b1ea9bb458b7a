#include "events/hanging.h"

#include <algorithm>

#include "diag/log.h"
#include "game/natives.h"
#include "game/random.h"
#include "game/timing.h"
#include "platform/platform.h"
#include "tracking/registry.h"
#include "tracking/strangers.h"
#include "ui/screen_text.h"
#include "world/blips.h"
#include "world/groups.h"
#include "world/models.h"
#include "world/placement.h"
#include "world/spawning.h"

namespace sagebrook {

const char* const CriminalModels[2] = {"G_M_M_UniCriminals_01", "G_M_M_UniCriminals_02"};

ExecutionStateRecord ExecutionState;
FreedVictimMoodRecord FreedVictimMood;
uint32_t executionQuietUntil = 0;

namespace {

constexpr int32_t kAnchorAttempts = 10;
// The ray runs straight up between these heights above the ground, and a hit
// must be higher than the clearance for a body to hang under it.
constexpr float kRayFrom = 1.0f;
constexpr float kRayTo = 8.0f;
constexpr float kClearance = 2.6f;
constexpr float kAnchorBelowHit = 0.2f;
constexpr float kGuardsAhead = 2.0f;
constexpr float kGuardsAside = 1.6f;

constexpr float kFallbackDrop = 3.0f;
constexpr float kBranchMin = 3.0f;
constexpr float kBranchMax = 6.0f;
constexpr float kRopeSlack = 0.75f;
constexpr int32_t kDropRagdollMs = 600000;
constexpr int32_t kHangingRagdollMs = 5000;
constexpr int32_t kFreedRagdollMs = 1500;
constexpr float kGroundedHeight = 0.6f;
constexpr int32_t kDrainStep = 4;

void SetUpExecutioner(int32_t e, int32_t victim) {
  TaskTurnToFaceEntity(e, victim);
  TaskStandStill(e, -1);
  SetPedKeepTask(e);
  SetPedFleeAttributes(e);
  SetPedCombatAttribute(e, 46, true);
  SetPedCombatAttribute(e, 5, true);
  SetPedCombatAbility(e, 2);
  SetPedCombatStyle(e);
  SetPedAccuracy(e, 40);  // over SpawnPed's 30
  GiveWeaponToPed(e, HashName("WEAPON_REVOLVER_CATTLEMAN"), 120, 0, 1);
}

int32_t SpawnExecutioner(const ScriptVector& site, float aside) {
  ScriptVector at = MakeVector(site.x + aside, site.y + kGuardsAhead, site.z);
  return SpawnPed(CriminalModels[rand() % 2], at, RelationshipGroups.victim, true, true);
}

// A prop of the model at the point, or 0. The load may yield frames.
int32_t CreateProp(const char* modelName, const ScriptVector& at) {
  const uint32_t model = HashName(modelName);
  if (!LoadModel(model)) return 0;
  const int32_t prop = CreateObject(model, at.x, at.y, at.z);
  ReleaseModel(model);
  return prop;
}

// What a rig has made so far, taken down again when it cannot be finished.
struct RigParts {
  int32_t anchorObject = 0;
  int32_t rope = kNoRope;
  int32_t noose = 0;
};

void TakeDown(RigParts parts, int32_t victim) {
  for (int32_t* prop : {&parts.noose, &parts.anchorObject}) {
    if (*prop != 0 && EntityExists(*prop)) DeleteObject(prop);
  }
  if (parts.rope != kNoRope && DoesRopeExist(parts.rope)) DeleteRope(&parts.rope);
  if (EntityExists(victim)) SetPedIgnoresEvents(victim, false);
}

// Lets the executioners and a dead victim go and returns to idle.
void LetExecutionGo() {
  ExecutionStateRecord& s = ExecutionState;
  for (int32_t e : s.executioners) {
    if (e == 0 || !EntityExists(e)) continue;
    SetPedIgnoresEvents(e, false);
    ClearPedTasks(e);
    int32_t copy = e;
    ReleasePed(&copy);
    RemoveEvery(SpawnedPeds, e);
  }
  const int32_t victim = s.victim;
  if (victim != 0 && EntityExists(victim) && IsEntityDead(victim)) {
    RemoveEventBlips(victim);
    int32_t copy = victim;
    ReleasePed(&copy);
    RemoveEvery(SpawnedPeds, victim);
  }
  s.active = false;
  s.executioners[0] = 0;
  s.executioners[1] = 0;
  s.victim = 0;
}

void FreeVictim() {
  const int32_t victim = ExecutionState.victim;
  const int32_t rope = ExecutionState.rope;
  if (rope != kNoRope && DoesRopeExist(rope)) DetachRopeFromEntity(rope, victim);
  SetPedToRagdoll(victim, kFreedRagdollMs, kFreedRagdollMs);
  ClearPedTasks(victim);
  SetPedFleeAttributes(victim);
  MakeGreetableStranger(victim);
  PendingStrangers.push_back(victim);
  RemoveEventBlips(victim);
  FreedVictimMood = {victim, platform::TickCount() + kHappyMs};
  LogLine("Execution: victim freed - greetable stranger, interact enabled");
  EndExecution();
}

// The rigged phase: frees, keeps hanging and drains, or ends the hanging.
void UpdateHangingPhase(uint32_t now) {
  ExecutionStateRecord& s = ExecutionState;
  if (s.hung && !IsEntityDead(s.victim)) {
    const bool ropeGone = s.rope == kNoRope || !DoesRopeExist(s.rope) || IsRopeBroken(s.rope);
    // Early on the body may still swing down to the ground; only the rope counts.
    const bool grounded = TickAfter(now, s.hungAt + kGroundGraceMs) &&
                          GetEntityHeightAboveGround(s.victim) < kGroundedHeight;
    if (ropeGone || grounded) {
      FreeVictim();
      return;
    }
    SetPedToRagdoll(s.victim, kHangingRagdollMs, kHangingRagdollMs);
    if (TickAfter(now, s.nextDrainAt)) {
      // Compared before subtracting: a health the game reports near the
      // bottom of the range must not overflow.
      const int32_t health = GetEntityHealth(s.victim);
      SetEntityHealth(s.victim, health > kDrainStep ? health - kDrainStep : 0);
      s.nextDrainAt = now + kDrainIntervalMs;
    }
  }
  if (TickAfter(now, s.phaseDeadline) || IsEntityDead(s.victim)) {
    LogLine("Execution: victim hanged");
    EndExecution();
  }
}

}  // namespace

bool FindOverheadAnchor(int32_t playerPed, ScriptVector& site, ScriptVector& anchor) {
  for (int32_t attempt = 0; attempt < kAnchorAttempts; ++attempt) {
    site = PointAroundEntity(playerPed, PickSpawnDistance());
    SnapToGround(site);
    const int32_t ray =
        StartRaycast(site.x, site.y, site.z + kRayFrom, site.x, site.y, site.z + kRayTo);
    int32_t hit = 0;
    int32_t hitEntity = 0;
    ScriptVector hitPoint;
    ScriptVector normal;
    GetRaycastResult(ray, &hit, &hitPoint, &normal, &hitEntity);
    if (hit != 0 && hitPoint.z > site.z + kClearance) {
      anchor = MakeVector(hitPoint.x, hitPoint.y, hitPoint.z - kAnchorBelowHit);
      return true;
    }
  }
  return false;
}

void StartPublicHanging(int32_t playerPed) {
  EnsureRelationshipGroups();
  if (ExecutionState.active) {
    ShowNotification("An execution is already underway");
    return;
  }
  ScriptVector site;
  ScriptVector anchor;
  if (!FindOverheadAnchor(playerPed, site, anchor)) {
    LogLine("EVENT Execution: no tree/beam overhead found nearby - skipped");
    return;
  }
  ScriptVector at = site;
  const int32_t victim =
      SpawnPed(TownsfolkModels[rand() % 3], at, RelationshipGroups.victim, false, true);
  if (victim == 0) return;
  SetPedFleeAttributes(victim);
  TaskCaptiveWait(victim);

  const int32_t first = SpawnExecutioner(site, -kGuardsAside);
  const int32_t second = SpawnExecutioner(site, kGuardsAside);
  ExecutionStateRecord& s = ExecutionState;
  s.active = true;
  s.phase = 0;
  s.phaseDeadline = platform::TickCount() + kLeadInMs;
  s.victim = victim;
  s.executioners[0] = first;
  s.executioners[1] = second;
  s.hung = false;
  s.anchor = anchor;
  // The executioners' models may have taken frames to stream in. Nothing
  // was hanged, so the player is left alone.
  if (!EntityExists(victim)) {
    LetExecutionGo();
    return;
  }
  for (int32_t e : s.executioners) {
    if (e != 0 && EntityExists(e)) SetUpExecutioner(e, victim);
  }

  AddEventBlip(victim, false, true);
  LogFormat("EVENT Execution(hang): victim=%d e0=%d e1=%d anchorZ=%.1f", victim, first, second,
            static_cast<double>(anchor.z));
  ShowNotification("Outlaws are stringing someone up...");
}

void RigNoose(int32_t victim) {
  const ScriptVector anchor = ExecutionState.anchor;
  float groundZ = anchor.z - kFallbackDrop;
  float probe = 0.0f;
  if (GetGroundZ(anchor.x, anchor.y, anchor.z, &probe) && probe > 0.0f) groundZ = probe;
  const float branchH = std::min(std::max(anchor.z - groundZ, kBranchMin), kBranchMax);

  RigParts parts;
  parts.anchorObject = CreateProp("p_shotglass01x", anchor);
  if (parts.anchorObject == 0) return;
  SetEntityVisible(parts.anchorObject, false);
  FreezeEntityPosition(parts.anchorObject);
  // Loading the prop may have yielded frames.
  if (!EntityExists(victim)) return TakeDown(parts, victim);

  SetEntityCoords(victim, anchor.x, anchor.y, groundZ);
  PrepareHangingVictimA(victim);
  SetPedIgnoresEvents(victim, true);
  PrepareHangingVictimB(victim);
  PrepareHangingVictimC(victim);
  const ScriptVector v = GetEntityCoords(victim);
  const float length =
      GetDistanceBetweenCoords(v.x, v.y, v.z, anchor.x, anchor.y, anchor.z) + kRopeSlack;
  // 0 may be a real rope: only the game can say whether one was made.
  const int32_t rope = AddRope(v.x, v.y, v.z, length);
  if (rope == kNoRope || !DoesRopeExist(rope)) return TakeDown(parts, victim);
  parts.rope = rope;

  // The noose is dressing: without it the rig goes on.
  parts.noose = CreateProp("p_noose02x", v);
  if (!EntityExists(victim) || !EntityExists(parts.anchorObject) || !DoesRopeExist(rope)) {
    return TakeDown(parts, victim);
  }
  if (parts.noose != 0) {
    AttachEntityToEntity(parts.noose, victim, GetPedBoneIndex(victim), 0.09f, -0.068f, 0.008f,
                         -30.0f, -100.0f, 15.0f);
  }
  AttachEntitiesToRope(rope, victim, parts.anchorObject, 0.1f, -0.188f, -0.002f, 0.0f, 0.0f, 0.0f,
                       "SKEL_NECK0");
  PrepareRopeA(rope);
  ApplyRopeStyle(rope, length);
  SetPedToRagdoll(victim, kDropRagdollMs, kDropRagdollMs);
  PrepareRopeB(rope);
  SetPedIgnoresEvents(victim, false);

  RigObjects.push_back(parts.anchorObject);
  if (parts.noose != 0) RigObjects.push_back(parts.noose);
  RigRopes.push_back(rope);
  ExecutionStateRecord& s = ExecutionState;
  s.ropeLength = length;
  s.groundZ = groundZ;
  s.anchorObject = parts.anchorObject;
  s.rope = rope;
  s.hung = true;
  s.hungAt = platform::TickCount();
  LogFormat("Execution: hung victim=%d branchH=%.1f length=%.1f", victim,
            static_cast<double>(branchH), static_cast<double>(length));
}

void UpdatePublicHanging() {
  ExecutionStateRecord& s = ExecutionState;
  if (!s.active) return;
  if (!EntityExists(s.victim)) {
    EndExecution();
    return;
  }
  const uint32_t now = platform::TickCount();
  if (s.phase != 0) {
    UpdateHangingPhase(now);
    return;
  }
  DrawOutlinedText(0.9f, "A hanging is taking place nearby...");
  if (TickAfter(now, s.phaseDeadline)) {
    RigNoose(s.victim);
    s.phase = 1;
    s.phaseDeadline = now + kHangingLimitMs;
    s.nextDrainAt = now;
  }
}

void EndExecution() {
  LetExecutionGo();
  executionQuietUntil = platform::TickCount() + kQuietMs;
}

void HangingPlayerCalls(int32_t player) {
  if (executionQuietUntil != 0 && !TickAfter(executionQuietUntil, platform::TickCount())) {
    executionQuietUntil = 0;  // passed for good, however long the session runs
  }
  if (!ExecutionState.active && executionQuietUntil == 0) return;
  HangingPlayerCallA(player);
  HangingPlayerCallB(player);
  HangingPlayerCallC(player);
}

void KeepFreedVictimHappy() {
  FreedVictimMoodRecord& m = FreedVictimMood;
  if (m.freedVictim == 0) return;
  if (EntityExists(m.freedVictim) && !TickAfter(platform::TickCount(), m.happyUntil)) {
    SetPedMood(m.freedVictim, HashName("Mood_Happy"));
  } else {
    m.freedVictim = 0;
  }
}

void StandDownHanging() {
  ExecutionStateRecord& s = ExecutionState;
  s.active = false;
  s.victim = 0;
  s.executioners[0] = 0;
  s.executioners[1] = 0;
  s.anchorObject = 0;
  s.rope = kNoRope;
  s.hung = false;
}

}  // namespace sagebrook

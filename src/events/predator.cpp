#include "events/predator.h"

#include <algorithm>

#include "diag/log.h"
#include "game/hook.h"
#include "game/natives.h"
#include "game/random.h"
#include "ui/screen_text.h"
#include "world/blips.h"
#include "world/groups.h"
#include "world/placement.h"
#include "world/spawning.h"

namespace sagebrook {

const PredatorKind PredatorKinds[3] = {
    {"A_C_Wolf", "weapon_wolf"},
    {"A_C_Cougar_01", "weapon_cougar"},
    {"A_C_Bear_01", "weapon_bear"},
};

namespace {

constexpr int32_t kPedBufferSize = 512;
constexpr float kTravellerMinDistance = 12.0f;
constexpr float kTravellerMaxDistance = 70.0f;
constexpr float kScatterSpan = 12.0f;

// The nearest living human strictly between the two distances; the earlier
// in the hook's list wins a tie.
int32_t FindTraveller(int32_t playerPed) {
  int32_t peds[kPedBufferSize];
  // A faulty hook's count must not take the search past the buffer.
  const int32_t count = std::clamp(hook::worldGetAllPeds(peds, kPedBufferSize), 0, kPedBufferSize);
  const ScriptVector player = GetEntityCoords(playerPed);
  float best = kTravellerMaxDistance;
  int32_t traveller = 0;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t ped = peds[i];
    if (ped == playerPed || !EntityExists(ped) || !IsPedHuman(ped) || IsEntityDead(ped)) continue;
    const ScriptVector p = GetEntityCoords(ped);
    const float d = GetDistanceBetweenCoords(player.x, player.y, player.z, p.x, p.y, p.z);
    if (d > kTravellerMinDistance && d < best) {
      best = d;
      traveller = ped;
    }
  }
  return traveller;
}

// Without a traveller the predator comes off the road nearest a random point.
ScriptVector RoadsideAnchor(int32_t playerPed) {
  const ScriptVector point = PointAroundEntity(playerPed, PickSpawnDistance());
  // A search that finds no road leaves the node where the point was.
  ScriptVector node = point;
  GetClosestRoadNode(point.x, point.y, point.z, &node);
  return node;
}

}  // namespace

void StartPredatorAttack(int32_t playerPed) {
  EnsureRelationshipGroups();
  const PredatorKind& kind = PredatorKinds[rand() % 3];
  int32_t traveller = FindTraveller(playerPed);
  const ScriptVector anchor =
      traveller != 0 ? GetEntityCoords(traveller) : RoadsideAnchor(playerPed);

  ScriptVector spawn = anchor;
  spawn.x = ScatterAround(anchor.x, kScatterSpan);
  spawn.y = ScatterAround(anchor.y, kScatterSpan);
  SnapToGround(spawn);
  const int32_t predator = SpawnPed(kind.model, spawn, RelationshipGroups.predator, false, true);
  if (predator == 0) return;

  GiveWeaponToPed(predator, HashName(kind.weapon), 100, 1, 0);
  // The model load may have yielded frames in which the traveller vanished.
  if (traveller != 0 && !EntityExists(traveller)) traveller = 0;
  const int32_t target = traveller != 0 ? traveller : playerPed;
  // The player too may be gone (loading, death); the predator stays tracked.
  if (!EntityExists(target)) return;
  const uint32_t targetGroup = GetPedRelationshipGroup(target);
  SetRelationshipBetweenGroups(kRelationHostile, RelationshipGroups.predator, targetGroup);
  SetRelationshipBetweenGroups(kRelationHostile, targetGroup, RelationshipGroups.predator);
  TaskCombatPed(predator, target);
  AddEventBlip(predator, true, false);

  LogFormat("EVENT Predator: model=%s pred=%d target=%d (traveler=%d)", kind.model, predator,
            target, traveller != 0 ? 1 : 0);
  ShowNotification(traveller != 0 ? "A predator is hunting a traveler!"
                                  : "A predator is stalking you!");
}

}  // namespace sagebrook

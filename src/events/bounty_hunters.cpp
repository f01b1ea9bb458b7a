#include "events/bounty_hunters.h"

#include "diag/log.h"
#include "game/natives.h"
#include "game/random.h"
#include "tracking/diagnostics.h"
#include "tracking/registry.h"
#include "ui/screen_text.h"
#include "world/blips.h"
#include "world/groups.h"
#include "world/placement.h"
#include "world/spawning.h"

namespace sagebrook {

const char* const HunterModels[2] = {"G_M_M_BountyHunters_01", "A_M_M_UniGunslinger_01"};
const char* const HoundModels[3] = {
    "A_C_DogBluetickCoonhound_01",
    "A_C_DogHound_01",
    "A_C_DogAmericanFoxhound_01",
};

namespace {

constexpr float kMinDistance = 30.0f;
constexpr float kDistanceSpan = 20.0f;
constexpr float kHunterScatter = 10.0f;
constexpr float kDogScatter = 8.0f;
constexpr float kSenseRange = 220.0f;
constexpr int32_t kHunterAccuracy = 60;
constexpr int32_t kMaxHunters = 4;

// Not the spawn distance setting: hunters close in whatever it says.
ScriptVector PosseAnchor(int32_t playerPed) {
  const float d = kMinDistance + kDistanceSpan * static_cast<float>(rand() % 1000) / 1000.0f;
  return PointAroundEntity(playerPed, d);
}

ScriptVector ScatteredAround(const ScriptVector& anchor, float span) {
  ScriptVector p = anchor;
  p.x = ScatterAround(anchor.x, span);
  p.y = ScatterAround(anchor.y, span);
  return p;
}

void SharpenSenses(int32_t ped) {
  SetPedSeeingRange(ped, kSenseRange);
  SetPedHearingRange(ped, kSenseRange);
}

}  // namespace

void StartBountyHunters(int32_t playerPed) {
  EnsureRelationshipGroups();
  const ScriptVector anchor = PosseAnchor(playerPed);

  int32_t hunters[kMaxHunters];
  int32_t hunterCount = 0;
  const int32_t wanted = rand() % 2 + 3;
  for (int32_t i = 0; i < wanted; ++i) {
    ScriptVector at = ScatteredAround(anchor, kHunterScatter);
    const int32_t h = SpawnPed(HunterModels[rand() % 2], at, RelationshipGroups.bandit, true, true);
    if (h == 0) continue;
    SetPedAccuracy(h, kHunterAccuracy);
    SetPedCombatAbility(h, 2);
    SetPedCombatAttribute(h, 0, true);
    SetPedCombatAttribute(h, 46, true);
    SharpenSenses(h);
    SetPedFleeAttributes(h);
    hunters[hunterCount++] = h;
    AddEventBlip(h, true, false);
  }
  // All together, once the posse is complete; a hunter, or the player, may
  // have gone while a later model streamed in.
  const bool playerHere = EntityExists(playerPed);
  for (int32_t i = 0; i < hunterCount; ++i) {
    if (playerHere && EntityExists(hunters[i])) TaskCombatPed(hunters[i], playerPed);
  }

  const int32_t dogs = rand() % 3 + 1;
  HunterDogs.clear();
  const uint32_t wolf = HashName("weapon_wolf");
  int32_t dogCount = 0;
  for (int32_t i = 0; i < dogs; ++i) {
    ScriptVector at = ScatteredAround(anchor, kDogScatter);
    const int32_t dog =
        SpawnPed(HoundModels[rand() % 3], at, RelationshipGroups.hound, false, true);
    if (dog == 0) continue;
    GiveWeaponToPed(dog, wolf, 1, 1, 0);
    SetDogFlag(dog);
    SetPedRelationshipGroup(dog, RelationshipGroups.hound);
    SetPedFleeAttributes(dog);
    SetPedCombatAttribute(dog, 46, true);
    SharpenSenses(dog);
    if (EntityExists(playerPed)) TaskCombatPed(dog, playerPed);
    SetPedKeepTask(dog);
    AddEventBlip(dog, true, false);
    HunterDogs.push_back(dog);
    ++dogCount;
  }

  OpenDiagWindow();
  LogFormat("EVENT BountyHunters: spawned %d hunters + %d dogs", hunterCount, dogCount);
  ShowNotification("Bounty hunters and their dogs are on your trail!");
}

}  // namespace sagebrook

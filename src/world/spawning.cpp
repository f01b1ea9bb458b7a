#include "world/spawning.h"

#include "game/natives.h"
#include "game/random.h"
#include "tracking/registry.h"
#include "tracking/strangers.h"
#include "world/groups.h"
#include "world/models.h"
#include "world/placement.h"

namespace sagebrook {

const char* const SpawnWeapons[4] = {
    "WEAPON_REVOLVER_CATTLEMAN",
    "WEAPON_REVOLVER_SCHOFIELD",
    "WEAPON_REPEATER_WINCHESTER",
    "WEAPON_RIFLE_SPRINGFIELD",
};

const char* const TownsfolkModels[3] = {
    "A_M_M_RhdTownfolk_01",
    "A_M_M_ValTownfolk_01",
    "A_M_M_StrTownfolk_01",
};

int32_t SpawnPed(const char* modelName, ScriptVector& position, uint32_t group, bool arm,
                 bool makeStranger) {
  const uint32_t model = HashName(modelName);
  if (!LoadModel(model)) return 0;
  SnapToGround(position);
  const float heading = static_cast<float>(rand() % 360);
  const int32_t ped = CreatePed(model, position.x, position.y, position.z, heading);
  ReleaseModel(model);
  if (ped == 0) return 0;

  SetPedRandomComponents(ped);
  SetPedRandomOutfit(ped);
  UpdatePedVariation(ped);
  SetEntityVisible(ped, true);
  EnsureRelationshipGroups();
  SetPedRelationshipGroup(ped, group);
  const bool victim = group == RelationshipGroups.victim;
  if (!victim) {
    SetPedCombatAttribute(ped, 46, true);
    SetPedCombatAttribute(ped, 5, true);
    SetPedCombatAbility(ped, 2);
    SetPedKeepTask(ped);
  }
  SetPedFleeAttributes(ped);
  if (victim && makeStranger) MakeGreetableStranger(ped);
  if (arm) {
    const uint32_t weapon = HashName(SpawnWeapons[rand() % 4]);
    GiveWeaponToPed(ped, weapon, 250, 1, 0);
    SetCurrentPedWeapon(ped, weapon);
    SetPedAccuracy(ped, 30);
  }

  if (SpawnedPeds.size() < kSpawnedPedLimit) SpawnedPeds.push_back(ped);
  return ped;
}

}  // namespace sagebrook

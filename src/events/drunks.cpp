#include "events/drunks.h"

#include <vector>

#include "diag/log.h"
#include "game/natives.h"
#include "game/random.h"
#include "tracking/registry.h"
#include "ui/screen_text.h"
#include "world/blips.h"
#include "world/groups.h"
#include "world/placement.h"
#include "world/spawning.h"

namespace sagebrook {

namespace {

constexpr int32_t kBrawlChance = 60;  // in 100

constexpr float kDrunkScatter = 6.0f;  // metres, the square they stand in

void MakeDrunk(int32_t ped) {
  const float level = static_cast<float>(rand() % 1000) * 0.00035f + 0.55f;
  SetPedDrunkState(ped, true, level);
  SetPedDrunkFlag(ped);
  TaskWanderNearby(ped);
}

// Sobers the drunk up enough to fight the opponent with his fists.
void MakeBrawler(int32_t drunk, uint32_t group, int32_t opponent) {
  SetPedRelationshipGroup(drunk, group);
  SetPedDrunkState(drunk, false, 0.0f);
  SetCurrentPedWeapon(drunk, HashName("WEAPON_UNARMED"));
  SetPedCombatAttribute(drunk, 5, true);
  SetPedFleeAttributes(drunk);
  TaskCombatPed(drunk, opponent);
}

}  // namespace

void StartDrunkenFolk(int32_t playerPed) {
  EnsureRelationshipGroups();
  const ScriptVector centre = PointAroundEntity(playerPed, PickSpawnDistance());
  const int32_t attempts = rand() % 2 + 3;
  std::vector<int32_t> drunks;
  drunks.reserve(static_cast<size_t>(attempts));
  for (int32_t i = 0; i < attempts; ++i) {
    ScriptVector position = centre;
    position.x = ScatterAround(centre.x, kDrunkScatter);
    position.y = ScatterAround(centre.y, kDrunkScatter);
    const char* model = TownsfolkModels[rand() % 3];
    const int32_t ped = SpawnPed(model, position, RelationshipGroups.victim, false, true);
    if (ped == 0) continue;
    if (i == 0) AddEventBlip(ped, false, false);
    MakeDrunk(ped);
    drunks.push_back(ped);
  }
  // A later drunk's model may have streamed for frames, in which an earlier
  // one can have vanished; only those still there brawl and are counted.
  RemoveWhere(drunks, [](int32_t ped) { return !EntityExists(ped); });

  const int32_t brawlDraw = rand() % 100;
  const bool brawl = brawlDraw < kBrawlChance && drunks.size() >= 2;
  for (size_t k = 0; k < drunks.size(); ++k) {
    if (brawl && k < 2) {
      const uint32_t side = k == 0 ? RelationshipGroups.brawlA : RelationshipGroups.brawlB;
      MakeBrawler(drunks[k], side, drunks[1 - k]);
    }
    PendingStrangers.push_back(drunks[k]);
  }

  LogFormat("EVENT Drunks: spawned %d brawl=%d (hour=%d)", static_cast<int32_t>(drunks.size()),
            brawl ? 1 : 0, GetClockHour());
  ShowNotification("Drunken folk are causing a ruckus nearby.");
}

}  // namespace sagebrook

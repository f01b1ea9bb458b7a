#include "tracking/registry.h"

#include "game/natives.h"
#include "game/timing.h"
#include "platform/platform.h"

namespace sagebrook {

bool RemoveBlipOf(BlipRecord& record) {
  if (DoesBlipExist(record.blip)) RemoveBlip(&record.blip);
  return true;
}

std::vector<int32_t> SpawnedPeds;
std::vector<int32_t> SpawnedVehicles;
std::vector<BlipRecord> EventBlips;
std::vector<int32_t> HunterDogs;
std::vector<int32_t> RigObjects;
std::vector<int32_t> RigRopes;
std::vector<int32_t> PendingStrangers;

namespace {

bool BlipFinished(const BlipRecord& record, uint32_t now) {
  if (!EntityExists(record.entity) || IsEntityDead(record.entity)) return true;
  return record.expiry != 0 && TickAfter(now, record.expiry);
}

// Drops vanished entities and releases those beyond the release distance.
void ReleaseFarAway(std::vector<int32_t>& list, const ScriptVector& player,
                    void (*release)(int32_t*)) {
  RemoveWhere(list, [&](int32_t handle) {
    if (!EntityExists(handle)) return true;
    ScriptVector p = GetEntityCoords(handle);
    if (GetDistanceBetweenCoords(player.x, player.y, player.z, p.x, p.y, p.z) <= kReleaseDistance) {
      return false;
    }
    release(&handle);
    return true;
  });
}

}  // namespace

void BlipUpkeep() {
  uint32_t now = platform::TickCount();
  RemoveWhere(EventBlips, [now](BlipRecord& r) { return BlipFinished(r, now) && RemoveBlipOf(r); });
}

void PeriodicUpkeep(int32_t playerPed) {
  ScriptVector player = GetEntityCoords(playerPed);
  ReleaseFarAway(SpawnedPeds, player, ReleasePed);
  ReleaseFarAway(SpawnedVehicles, player, ReleaseVehicle);
}

void RemoveEventBlips(int32_t entity) {
  if (entity == 0) return;
  RemoveWhere(EventBlips,
              [entity](BlipRecord& r) { return r.entity == entity && RemoveBlipOf(r); });
}

}  // namespace sagebrook

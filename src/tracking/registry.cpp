#include "tracking/registry.h"

#include "host/natives.h"
#include "host/timing.h"
#include "platform/platform.h"
#include "ui/screen_text.h"

namespace sagebrook {

std::vector<int32_t> SpawnedPeds;
std::vector<int32_t> SpawnedVehicles;
std::vector<BlipRecord> EventBlips;
std::vector<int32_t> HunterDogs;
std::vector<int32_t> RigObjects;
std::vector<int32_t> RigRopes;
std::vector<int32_t> PendingStrangers;

namespace {

// Removes a record's blip; the record itself is erased by the caller.
bool RemoveBlipOf(BlipRecord& record) {
  if (DoesBlipExist(record.blip)) RemoveBlip(&record.blip);
  return true;
}

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

void ClearSpawned() {
  for (BlipRecord& record : EventBlips) RemoveBlipOf(record);
  EventBlips.clear();
  // The delete natives take a pointer to a copy, so the lists stay intact
  // while they are walked.
  for (int32_t ped : SpawnedPeds) {
    if (EntityExists(ped)) DeletePed(&ped);
  }
  for (int32_t vehicle : SpawnedVehicles) {
    if (EntityExists(vehicle)) DeleteVehicle(&vehicle);
  }
  for (int32_t object : RigObjects) {
    if (EntityExists(object)) DeleteObject(&object);
  }
  for (int32_t rope : RigRopes) DeleteRope(&rope);
  SpawnedPeds.clear();
  SpawnedVehicles.clear();
  RigObjects.clear();
  RigRopes.clear();
  PendingStrangers.clear();
  ShowNotification("Cleared spawned events");
}

void RemoveEventBlips(int32_t entity) {
  if (entity == 0) return;
  RemoveWhere(EventBlips,
              [entity](BlipRecord& r) { return r.entity == entity && RemoveBlipOf(r); });
}

}  // namespace sagebrook

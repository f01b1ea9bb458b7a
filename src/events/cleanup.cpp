#include "events/cleanup.h"

#include "events/hanging.h"
#include "game/natives.h"
#include "tracking/registry.h"
#include "ui/screen_text.h"

namespace sagebrook {

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
  for (int32_t rope : RigRopes) {
    if (DoesRopeExist(rope)) DeleteRope(&rope);
  }
  SpawnedPeds.clear();
  SpawnedVehicles.clear();
  RigObjects.clear();
  RigRopes.clear();
  PendingStrangers.clear();
  StandDownHanging();
  ShowNotification("Cleared spawned events");
}

}  // namespace sagebrook

#include "events/wagon.h"

#include <cmath>

#include "diag/log.h"
#include "game/natives.h"
#include "game/random.h"
#include "game/timing.h"
#include "game/wait.h"
#include "platform/platform.h"
#include "tracking/diagnostics.h"
#include "tracking/registry.h"
#include "ui/screen_text.h"
#include "world/blips.h"
#include "world/groups.h"
#include "world/models.h"
#include "world/placement.h"
#include "world/spawning.h"

namespace sagebrook {

const char* const WagonModels[8] = {
    "wagon05x",          "wagon04x",       "wagon03x",       "wagon02x",
    "wagonTraveller01x", "chuckwagon002x", "stagecoach001x", "cart01",
};

WagonWatchRecord WagonWatch;

namespace {

constexpr int32_t kProbeDirections = 8;
constexpr float kProbeStep = 0.7853982f;  // 45 degrees
constexpr float kDegreesToRadians = 0.0174533f;
constexpr int32_t kPassengerPercent = 40;
constexpr int32_t kDraftAnimalSlots = 6;
constexpr const char* kNoModel = "Runaway wagon: no wagon model available";
constexpr const char* kFailedToSpawn = "Runaway wagon failed to spawn";

// A wagon model the game has, picked evenly among those it has; 0 if none.
uint32_t PickWagonModel() {
  uint32_t kept[8];
  int32_t count = 0;
  for (const char* name : WagonModels) {
    const uint32_t h = HashName(name);
    if (IsModelInImage(h) && IsModelValid(h)) kept[count++] = h;
  }
  return count == 0 ? 0 : kept[rand() % count];
}

struct RoadSpot {
  ScriptVector node;
  float heading = 0.0f;
};

// Eight directions around the player at one distance, in turn from a random
// one; the first road node within reach of its probe wins.
bool FindRoadNear(const ScriptVector& player, float distance, RoadSpot& spot) {
  const int32_t start = rand() % kProbeDirections;
  for (int32_t i = 0; i < kProbeDirections; ++i) {
    const float angle = static_cast<float>((start + i) % kProbeDirections) * kProbeStep;
    const ScriptVector probe = MakeVector(player.x + std::cos(angle) * distance,
                                          player.y + std::sin(angle) * distance, player.z);
    spot = RoadSpot{};
    if (GetClosestRoadNodeWithHeading(probe.x, probe.y, probe.z, &spot.node, &spot.heading) &&
        GetDistanceBetweenCoords(probe.x, probe.y, probe.z, spot.node.x, spot.node.y, spot.node.z) <
            kRoadSearchRange) {
      return true;
    }
  }
  return false;
}

// The road node 250 m ahead along the heading, or that point itself.
ScriptVector DestinationAhead(const RoadSpot& spot) {
  const float h = spot.heading * kDegreesToRadians;
  const ScriptVector target =
      MakeVector(spot.node.x - std::sin(h) * kWagonLeadDistance,
                 spot.node.y + std::cos(h) * kWagonLeadDistance, spot.node.z);
  ScriptVector destination = target;
  float unusedHeading = 0.0f;
  if (!GetClosestRoadNodeWithHeading(target.x, target.y, target.z, &destination, &unusedHeading)) {
    destination = target;
  }
  return destination;
}

void OrderDrive(const WagonWatchRecord& w) {
  TaskDriveToCoord(w.driver, w.vehicle, w.destination.x, w.destination.y, w.destination.z,
                   w.modelHash);
  SetPedKeepTask(w.driver);
}

// The event yields to the game while it waits; the game may take the wagon
// away meanwhile, and then there is nothing left to run.
bool WagonGone(int32_t vehicle) {
  if (EntityExists(vehicle)) return false;
  ShowNotification(kFailedToSpawn);
  return true;
}

// Waits for the team to be harnessed, 50 ms at a time; false if the wagon
// went meanwhile.
bool WaitForDraftAnimals(int32_t vehicle) {
  for (int32_t i = 0; i < kDraftWaitSteps; ++i) {
    WaitForGame(kDraftWaitStepMs);
    if (WagonGone(vehicle)) return false;
    int32_t expected = 0;
    int32_t actual = 0;
    GetDraftAnimalCounts(vehicle, &expected, &actual);
    if (actual != 0) break;
  }
  return true;
}

int32_t SpawnRider(const ScriptVector& at) {
  ScriptVector position = at;
  return SpawnPed(TownsfolkModels[rand() % 3], position, RelationshipGroups.victim, false, false);
}

}  // namespace

void StartRunawayWagon(int32_t playerPed) {
  EnsureRelationshipGroups();
  const uint32_t model = PickWagonModel();
  if (model == 0 || !LoadModel(model)) {
    ShowNotification(kNoModel);
    return;
  }
  RoadSpot spot;
  // The player may have gone while the model streamed in.
  const bool onRoad = EntityExists(playerPed) &&
                      FindRoadNear(GetEntityCoords(playerPed), PickSpawnDistance(), spot);
  if (!onRoad) {
    ReleaseModel(model);
    LogLine("EVENT Wagon: no road node near the player - skipped (wagons need a road to run)");
    ShowNotification("No road nearby for a runaway wagon");
    return;
  }

  const int32_t vehicle = CreateVehicle(model, spot.node.x, spot.node.y, spot.node.z, spot.heading);
  ReleaseModel(model);
  if (vehicle == 0) {
    ShowNotification(kFailedToSpawn);
    return;
  }
  SpawnedVehicles.push_back(vehicle);
  ConfigureNewVehicleA(vehicle);
  ConfigureNewVehicleB(vehicle);
  ClaimEntityForScript(vehicle);
  if (!WaitForDraftAnimals(vehicle)) return;

  WagonWatchRecord watch;
  watch.vehicle = vehicle;
  watch.destination = DestinationAhead(spot);
  watch.modelHash = model;
  watch.driver = SpawnRider(spot.node);
  if (WagonGone(vehicle)) return;
  if (watch.driver != 0) {
    SetPedIntoVehicle(watch.driver, vehicle, -1);
    SetPedFleeAttributes(watch.driver);
    SetPedIgnoresEvents(watch.driver, true);
    ClaimEntityForScript(watch.driver);
    OrderDrive(watch);
  }
  SetVehicleForwardSpeed(vehicle);
  for (int32_t i = 0; i < kDraftAnimalSlots; ++i) {
    const int32_t animal = GetDraftAnimal(vehicle, i);
    if (animal != 0 && EntityExists(animal)) ConfigureDraftAnimal(animal);
  }

  if (rand() % 100 < kPassengerPercent) {
    const int32_t passenger = SpawnRider(spot.node);
    if (WagonGone(vehicle)) return;
    if (passenger != 0) {
      SetPedIntoVehicle(passenger, vehicle, 0);
      SetPedIgnoresEvents(passenger, true);
      ClaimEntityForScript(passenger);
    }
  }

  watch.checkAt = platform::TickCount() + kWagonCheckMs;
  WagonWatch = watch;
  AddEventBlip(vehicle, false, false);

  int32_t expected = 0;
  int32_t actual = 0;
  GetDraftAnimalCounts(vehicle, &expected, &actual);
  const bool driverInSeat =
      watch.driver != 0 && EntityExists(watch.driver) && IsPedInVehicle(watch.driver, vehicle);
  LogFormat(
      "EVENT Wagon: veh=%d driver=%d onRoad=%d draftExpected=%d draftActual=%d "
      "driverInSeat=%d",
      vehicle, watch.driver, 1, expected, actual, driverInSeat ? 1 : 0);

  DiagWindow.diagWagon = vehicle;
  DiagWindow.diagDriver = watch.driver;
  OpenDiagWindow();
  ShowNotification("Runaway wagon!");
}

void WagonKickstart() {
  WagonWatchRecord& w = WagonWatch;
  if (w.vehicle == 0 || !TickAfter(platform::TickCount(), w.checkAt)) return;
  if (!EntityExists(w.vehicle) || GetEntitySpeed(w.vehicle) >= kWagonRunningSpeed) {
    w.vehicle = 0;
    return;
  }
  const bool driverHere = w.driver != 0 && EntityExists(w.driver);
  if (!w.kicked) {
    if (driverHere) {
      OrderDrive(w);
      SetVehicleForwardSpeed(w.vehicle);
    }
    LogLine("Wagon kickstart: re-issued drive task (was stopped)");
    w.kicked = true;
    w.checkAt = platform::TickCount() + kWagonCheckMs;
    return;
  }
  // The release natives take a pointer; the copies keep the records intact.
  int32_t vehicle = w.vehicle;
  ReleaseVehicle(&vehicle);
  if (driverHere) {
    int32_t driver = w.driver;
    ReleasePed(&driver);
  }
  RemoveFirst(SpawnedVehicles, w.vehicle);
  if (DiagWindow.diagWagon == w.vehicle) DiagWindow.diagWagon = 0;
  LogLine("Wagon kickstart: still stopped - released to engine, untracked");
  w.vehicle = 0;
}

}  // namespace sagebrook

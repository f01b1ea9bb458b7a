// The simulated game's answers for vehicles: creation, speed, seats, draft
// animals, drive tasks and roads with headings; also the ped states and
// senses the diagnostics and the bounty hunters touch.
#include <algorithm>
#include <vector>

#include "handlers.h"

namespace sim {

namespace {

// The horses the game puts in front of a wagon.
constexpr const char* kDraftHorseModel = "A_C_Horse_Draft";

Handler FloatSetting(const char* key) {
  return [key](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) e->settings[key] = c.Float(1);
  };
}

void Harness(int32_t vehicle, int32_t animals) {
  const Vec3 at = FindEntity(vehicle)->position;
  for (int32_t i = 0; i < animals; ++i) {
    const int32_t horse = AddEntity(EntityKind::Ped, {at.x, at.y + 3.0f, at.z}, false);
    FindEntity(horse)->model = HashName(kDraftHorseModel);
    FindEntity(vehicle)->draftAnimals.push_back(horse);
  }
}

}  // namespace

void AdvanceVehicles(uint32_t milliseconds) {
  World& w = GetWorld();
  std::vector<int32_t> due;
  for (auto& [handle, e] : w.entities) {
    if (e.kind != EntityKind::Vehicle || !e.exists) continue;
    e.speed = std::max(0.0f, e.speed - e.slowing * static_cast<float>(milliseconds) / 1000.0f);
    const Model* m = FindModel(e.model);
    if (m && m->draftAnimals > 0 && m->harnessAfterMs >= 0 && e.draftAnimals.empty() &&
        w.tick - e.createdAt >= static_cast<uint32_t>(m->harnessAfterMs)) {
      due.push_back(handle);
    }
  }
  for (int32_t vehicle : due) Harness(vehicle, FindModel(FindEntity(vehicle)->model)->draftAnimals);
}

void InstallVehicleHandlers() {
  SetHandler("CreateVehicle", [](Call& c, uint64_t* r) {
    Model* m = FindModel(c.U32(0));
    if (!m || !Loaded(*m)) return;
    const int32_t vehicle = AddEntity(EntityKind::Vehicle, {c.Float(1), c.Float(2), c.Float(3)});
    Entity* e = FindEntity(vehicle);
    e->human = false;
    e->model = c.U32(0);
    e->heading = c.Float(4);
    e->createdAt = GetWorld().tick;
    SetInt(r, vehicle);
  });
  SetHandler("ConfigureNewVehicleA", Setting("configureA", 1));
  SetHandler("ConfigureNewVehicleB", Setting("configureB", 1));
  SetHandler("ConfigureDraftAnimal", Setting("draftConfigured", 1));
  SetHandler("ClaimEntityForScript", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) e->claimed = c.Int(1) != 0 && c.Int(2) != 0;
  });
  SetHandler("GetEntitySpeed", [](Call& c, uint64_t* r) {
    if (Entity* e = Existing(c.Int(0), c)) SetFloat(r, e->speed);
  });
  SetHandler("SetVehicleForwardSpeed", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) e->speed = c.Float(1);
  });

  SetHandler("GetDraftAnimalCounts", [](Call& c, uint64_t*) {
    Entity* e = Existing(c.Int(0), c);
    if (!e) return;
    const Model* m = FindModel(e->model);
    *c.Pointer<int32_t>(1) = m ? m->draftAnimals : 0;
    int32_t actual = 0;
    for (int32_t animal : e->draftAnimals) actual += FindEntity(animal)->exists;
    *c.Pointer<int32_t>(2) = actual;
  });
  SetHandler("GetDraftAnimal", [](Call& c, uint64_t* r) {
    Entity* e = Existing(c.Int(0), c);
    const size_t index = static_cast<size_t>(c.Int(1));
    if (e && index < e->draftAnimals.size()) SetInt(r, e->draftAnimals[index]);
  });

  SetHandler("SetPedIntoVehicle", [](Call& c, uint64_t*) {
    Entity* ped = Existing(c.Int(0), c);
    Entity* vehicle = Existing(c.Int(1), c);
    if (!ped || !vehicle) return;
    vehicle->seats[c.Int(2)] = c.Int(0);
    ped->vehicle = c.Int(1);
    ped->position = vehicle->position;
  });
  SetHandler("IsPedInVehicle", [](Call& c, uint64_t* r) {
    Entity* ped = Existing(c.Int(0), c);
    if (ped && Existing(c.Int(1), c)) SetInt(r, ped->vehicle == c.Int(1));
  });
  SetHandler("SetPedIgnoresEvents", Setting("ignoresEvents", 1));
  SetHandler("TaskDriveToCoord", [](Call& c, uint64_t*) {
    Entity* driver = Existing(c.Int(0), c);
    if (!driver || !Existing(c.Int(1), c)) return;
    driver->driveTasks.push_back(
        {c.Int(1), {c.Float(2), c.Float(3), c.Float(4)}, c.Float(5), c.Int(6), c.U32(7)});
  });

  // The nearest node, however far; judging the distance is the caller's.
  SetHandler("GetClosestRoadNodeWithHeading", [](Call& c, uint64_t* r) {
    const RoadNode* node = NearestRoadNode({c.Float(0), c.Float(1), c.Float(2)});
    if (!node) return;
    WriteVector(c, 3, node->position);
    *c.Pointer<float>(4) = node->heading;
    SetInt(r, 1);
  });

  SetHandler("SetDogFlag", Setting("dogFlag", 1));
  SetHandler("SetPedSeeingRange", FloatSetting("seeingRange"));
  SetHandler("SetPedHearingRange", FloatSetting("hearingRange"));
  SetHandler("IsPedFleeing", [](Call& c, uint64_t* r) {
    if (Entity* e = Existing(c.Int(0), c)) SetInt(r, e->fleeing);
  });
  // Fighting the target it was ordered to attack, unless dead or running.
  SetHandler("IsPedInCombatWith", [](Call& c, uint64_t* r) {
    Entity* e = Existing(c.Int(0), c);
    if (!e || !Existing(c.Int(1), c) || e->dead || e->fleeing) return;
    const auto& targets = e->combatTargets;
    SetInt(r, std::find(targets.begin(), targets.end(), c.Int(1)) != targets.end());
  });
}

}  // namespace sim

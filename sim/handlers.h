#pragma once
// For the files that install the simulated game's native handlers.
#include "sim.h"

namespace sim {

void SetInt(uint64_t* result, int32_t value);
void SetFloat(uint64_t* result, float value);
void SetVector(uint64_t* result, Vec3 v);
// Writes v to the vector the call's slot points to.
void WriteVector(Call& c, size_t slot, Vec3 v);
// A handler that records slot valueSlot of a set-up native under key on the
// entity slot 0 names.
Handler Setting(const char* key, size_t valueSlot);

// The plugin must check existence before applying a native to an entity:
// the entity, or nullptr after failing the test.
inline Entity* Existing(int32_t handle, const Call& c) {
  Entity* e = FindEntity(handle);
  if (!e || !e->exists) {
    Fail(c.Name() + " applied to entity " + std::to_string(handle) + ", which does not exist");
    return nullptr;
  }
  return e;
}

// Shared by the handler files.
Model* FindModel(uint32_t hash);
bool Loaded(Model& m);  // a requested model counts as loaded once it has arrived
const RoadNode* NearestRoadNode(Vec3 probe);  // nullptr when there are no roads

void InstallBaseHandlers();
void InstallTrackingHandlers();
void InstallWorldHandlers();
void InstallDrunksHandlers();
void InstallHangingHandlers();
void InstallVehicleHandlers();
// The game's own doing in a frame of this many milliseconds: vehicles slow
// down, teams get harnessed.
void AdvanceVehicles(uint32_t milliseconds);
void ForgetFrameStrings();

}  // namespace sim

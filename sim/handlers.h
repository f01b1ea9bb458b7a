#pragma once
// For the files that install the simulated game's native handlers.
#include "sim.h"

namespace sim {

void SetInt(uint64_t* result, int32_t value);
void SetFloat(uint64_t* result, float value);
void SetVector(uint64_t* result, Vec3 v);

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

void InstallBaseHandlers();
void InstallTrackingHandlers();
void InstallWorldHandlers();
void InstallDrunksHandlers();
void ForgetFrameStrings();

}  // namespace sim

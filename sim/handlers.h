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

void InstallBaseHandlers();
void InstallTrackingHandlers();
void InstallWorldHandlers();
void InstallDrunksHandlers();
void InstallHangingHandlers();
void ForgetFrameStrings();

}  // namespace sim

#pragma once
// For the files that install the simulated game's native handlers.
#include "sim.h"

namespace sim {

void SetInt(uint64_t* result, int32_t value);
void SetFloat(uint64_t* result, float value);
void SetVector(uint64_t* result, Vec3 v);

void InstallBaseHandlers();
void InstallTrackingHandlers();
void InstallWorldHandlers();
void ForgetFrameStrings();

}  // namespace sim

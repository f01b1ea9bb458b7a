#pragma once
#include <cstdint>

#include "game/native_invoke.h"

namespace sagebrook {

// Ground is looked for from this far above a point.
inline constexpr float kGroundProbeHeight = 6.0f;

// A random distance in metres for the Spawn Distance setting.
float PickSpawnDistance();
// The point at the given horizontal distance from the entity in one of 1000
// evenly spaced directions, dropped to the ground.
ScriptVector PointAroundEntity(int32_t entity, float distance);
// centre - span / 2 plus one of 1000 even steps across the span.
float ScatterAround(float centre, float span);
// Replaces z by the ground height when ground above 0.0 is found; returns the point.
ScriptVector SnapToGround(ScriptVector& position);

}  // namespace sagebrook

#include "world/placement.h"

#include <cmath>

#include "game/natives.h"
#include "game/random.h"
#include "ui/settings.h"

namespace sagebrook {

float PickSpawnDistance() {
  const float r = static_cast<float>(rand() % 1000);
  switch (Settings.spawnDistance) {
    case 0:
      return r * 0.02f + 40.0f;
    case 1:
      return r * 0.025f + 65.0f;
    case 2:
      return r * 0.04f + 100.0f;
    default:  // Random, and any value out of range
      return r * 0.085f + 45.0f;
  }
}

ScriptVector PointAroundEntity(int32_t entity, float distance) {
  const ScriptVector centre = GetEntityCoords(entity);
  const float theta = static_cast<float>(rand() % 1000) * 0.006283186f;
  ScriptVector point = MakeVector(centre.x + distance * std::cos(theta),
                                  centre.y + distance * std::sin(theta), centre.z);
  return SnapToGround(point);
}

float ScatterAround(float centre, float span) {
  return centre + span * static_cast<float>(rand() % 1000) / 1000.0f - span / 2;
}

ScriptVector SnapToGround(ScriptVector& position) {
  float ground = position.z;
  if (GetGroundZ(position.x, position.y, position.z + kGroundProbeHeight, &ground) &&
      ground > 0.0f) {
    position.z = ground;
  }
  return position;
}

}  // namespace sagebrook

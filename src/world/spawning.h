#pragma once
#include <cstddef>
#include <cstdint>

#include "game/native_invoke.h"

namespace sagebrook {

extern const char* const SpawnWeapons[4];
extern const char* const TownsfolkModels[3];

// SpawnPed stops recording once SpawnedPeds holds this many handles.
inline constexpr size_t kSpawnedPedLimit = 60;

// Creates a dressed ped of the model on the ground at position (whose z is
// updated once the model has loaded) in the group, with the combat habits of
// every group but the victims'. makeStranger acts only in the victim group.
// Returns 0 when nothing was created.
int32_t SpawnPed(const char* modelName, ScriptVector& position, uint32_t group, bool arm,
                 bool makeStranger);

}  // namespace sagebrook

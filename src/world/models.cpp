#include "world/models.h"

#include "game/natives.h"
#include "game/wait.h"

namespace sagebrook {

bool LoadModel(uint32_t modelHash) {
  if (!IsModelInImage(modelHash) || !IsModelValid(modelHash)) return false;
  RequestModel(modelHash);
  // A resident model is answered before any yield, so it costs no frame.
  if (!HasModelLoaded(modelHash)) {
    for (int32_t waited = 0; waited < kModelWaitFrames; ++waited) {
      WaitForGame(0);
      if (HasModelLoaded(modelHash)) break;
    }
  }
  return HasModelLoaded(modelHash);
}

}  // namespace sagebrook

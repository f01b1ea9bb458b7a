#include "game/wait.h"

#include "game/hook.h"

namespace sagebrook {

uint32_t GameWaits = 0;

void WaitForGame(uint32_t milliseconds) {
  ++GameWaits;
  hook::scriptWait(milliseconds);
}

}  // namespace sagebrook

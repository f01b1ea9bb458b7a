#pragma once
#include <cstdint>

namespace sagebrook {

// Every wait of the script goes through WaitForGame, which counts them: a
// caller that sees GameWaits change knows the game has run meanwhile, so a
// handle it holds may have gone.
extern uint32_t GameWaits;
void WaitForGame(uint32_t milliseconds);

}  // namespace sagebrook

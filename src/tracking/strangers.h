#pragma once
#include <cstdint>

namespace sagebrook {

// The greetable-stranger set-up: greeting, interaction, a timid personality,
// the stranger's speech lines and prompt name.
void MakeGreetableStranger(int32_t ped);

}  // namespace sagebrook

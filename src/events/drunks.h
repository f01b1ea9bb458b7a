#pragma once
#include <cstdint>

namespace sagebrook {

// Three or four drunk townsmen stagger about one spot at spawn distance from
// the player, and most times the first two come to blows. The dispatcher
// offers it at night only; it reads the hour just for its log line.
void StartDrunkenFolk(int32_t playerPed);

}  // namespace sagebrook

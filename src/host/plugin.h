#pragma once
#include <cstdint>

#include "game/key_presses.h"

namespace sagebrook {

int32_t PluginEntry(void* module, uint32_t reason, void* reserved);
void ScriptMain();
[[noreturn]] void ScriptLoop();
void KeyboardHandler(uint32_t key, uint16_t repeats, uint8_t scanCode, int32_t extended,
                     int32_t alt, int32_t wasDownBefore, int32_t isUpNow);

void FrameUpdate();

}  // namespace sagebrook

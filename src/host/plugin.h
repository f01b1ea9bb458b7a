#pragma once
#include <atomic>
#include <cstdint>

namespace sagebrook {

// One byte per virtual-key code: 1 while a release is pending. The hook's
// keyboard thread writes 1, the script writes 0; relaxed atomics keep that
// exchange free of data races without ordering anything else.
extern std::atomic<uint8_t> KeyPressedFlags[256];

int32_t PluginEntry(void* module, uint32_t reason, void* reserved);
void ScriptMain();
[[noreturn]] void ScriptLoop();
void KeyboardHandler(uint32_t key, uint16_t repeats, uint8_t scanCode, int32_t extended,
                     int32_t alt, int32_t wasDownBefore, int32_t isUpNow);

// True when a release of key is pending; the flag is cleared. Codes of 256
// and more never match.
bool TakeKeyPress(uint32_t key);

void FrameUpdate();

}  // namespace sagebrook

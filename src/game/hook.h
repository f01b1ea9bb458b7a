#pragma once
// The nine functions of the script hook. The Windows build binds them to
// ScriptHookRDR2.dll; host builds get them from the simulated game.
#include <cstdint>

namespace sagebrook::hook {

using ScriptFunction = void (*)();
// key, repeats, scan code, extended, alt, was down before, is up now
using KeyboardHandlerFunction = void (*)(uint32_t, uint16_t, uint8_t, int32_t, int32_t, int32_t,
                                         int32_t);

void scriptRegister(void* module, ScriptFunction script);
void scriptUnregister(void* module);
void keyboardHandlerRegister(KeyboardHandlerFunction handler);
void keyboardHandlerUnregister(KeyboardHandlerFunction handler);
void scriptWait(uint32_t milliseconds);
void nativeInit(uint64_t hash);
void nativePush64(uint64_t value);
uint64_t* nativeCall();
int32_t worldGetAllPeds(int32_t* handles, int32_t capacity);

}  // namespace sagebrook::hook

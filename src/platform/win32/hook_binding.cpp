// The hook's nine functions, imported from ScriptHookRDR2.dll (names mapped in
// script_hook.def). The hook therefore enters the process with the plugin,
// whatever else is loaded; without it Windows refuses to load the plugin.
#include <windows.h>

#include "game/hook.h"

// Declared with the seam's fixed-width types: on 64-bit Windows the hook's
// DWORD, WORD, BYTE and BOOL have the same sizes and are passed alike.
extern "C" {
__declspec(dllimport) void ScriptHookScriptRegister(HMODULE module,
                                                    sagebrook::hook::ScriptFunction script);
__declspec(dllimport) void ScriptHookScriptUnregister(HMODULE module);
__declspec(dllimport) void ScriptHookKeyboardHandlerRegister(
    sagebrook::hook::KeyboardHandlerFunction handler);
__declspec(dllimport) void ScriptHookKeyboardHandlerUnregister(
    sagebrook::hook::KeyboardHandlerFunction handler);
__declspec(dllimport) void ScriptHookScriptWait(uint32_t milliseconds);
__declspec(dllimport) void ScriptHookNativeInit(uint64_t hash);
__declspec(dllimport) void ScriptHookNativePush64(uint64_t value);
__declspec(dllimport) uint64_t* ScriptHookNativeCall();
__declspec(dllimport) int32_t ScriptHookWorldGetAllPeds(int32_t* handles, int32_t capacity);
}

namespace sagebrook::hook {

void scriptRegister(void* module, ScriptFunction script) {
  ScriptHookScriptRegister(static_cast<HMODULE>(module), script);
}
void scriptUnregister(void* module) {
  ScriptHookScriptUnregister(static_cast<HMODULE>(module));
}
void keyboardHandlerRegister(KeyboardHandlerFunction handler) {
  ScriptHookKeyboardHandlerRegister(handler);
}
void keyboardHandlerUnregister(KeyboardHandlerFunction handler) {
  ScriptHookKeyboardHandlerUnregister(handler);
}
void scriptWait(uint32_t milliseconds) {
  ScriptHookScriptWait(milliseconds);
}
void nativeInit(uint64_t hash) {
  ScriptHookNativeInit(hash);
}
void nativePush64(uint64_t value) {
  ScriptHookNativePush64(value);
}
uint64_t* nativeCall() {
  return ScriptHookNativeCall();
}
int32_t worldGetAllPeds(int32_t* handles, int32_t capacity) {
  return ScriptHookWorldGetAllPeds(handles, capacity);
}

}  // namespace sagebrook::hook

// Binds the hook's exports at run time from the already loaded
// ScriptHookRDR2.dll. Without the hook (or with an export missing) the
// registrations do nothing, so the plugin loads, stays idle and unloads.
#include <windows.h>

#include "game/hook.h"

namespace sagebrook::hook {

namespace {

struct HookExports {
  void (*scriptRegister)(HMODULE, ScriptFunction);
  void (*scriptUnregister)(HMODULE);
  void (*keyboardHandlerRegister)(KeyboardHandlerFunction);
  void (*keyboardHandlerUnregister)(KeyboardHandlerFunction);
  void (*scriptWait)(DWORD);
  void (*nativeInit)(uint64_t);
  void (*nativePush64)(uint64_t);
  uint64_t* (*nativeCall)();
  int (*worldGetAllPeds)(int*, int);
};

HookExports Exports{};
bool Bound = false;
bool Tried = false;

template <class F>
bool Resolve(HMODULE hook, const char* name, F& out) {
  FARPROC proc = GetProcAddress(hook, name);
  out = reinterpret_cast<F>(reinterpret_cast<void*>(proc));
  return proc != nullptr;
}

// Looking up an already loaded module and its exports is safe under the
// loader lock; loading one would not be.
bool Bind() {
  if (Tried) return Bound;
  Tried = true;
  HMODULE hook = GetModuleHandleW(L"ScriptHookRDR2.dll");
  if (hook == nullptr) return false;
  HookExports e{};
  bool ok = Resolve(hook, "?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z", e.scriptRegister);
  ok &= Resolve(hook, "?scriptUnregister@@YAXPEAUHINSTANCE__@@@Z", e.scriptUnregister);
  ok &= Resolve(hook, "?keyboardHandlerRegister@@YAXP6AXKGEHHHH@Z@Z", e.keyboardHandlerRegister);
  ok &=
      Resolve(hook, "?keyboardHandlerUnregister@@YAXP6AXKGEHHHH@Z@Z", e.keyboardHandlerUnregister);
  ok &= Resolve(hook, "?scriptWait@@YAXK@Z", e.scriptWait);
  ok &= Resolve(hook, "?nativeInit@@YAX_K@Z", e.nativeInit);
  ok &= Resolve(hook, "?nativePush64@@YAX_K@Z", e.nativePush64);
  ok &= Resolve(hook, "?nativeCall@@YAPEA_KXZ", e.nativeCall);
  ok &= Resolve(hook, "?worldGetAllPeds@@YAHPEAHH@Z", e.worldGetAllPeds);
  if (!ok) return false;
  Exports = e;
  Bound = true;
  return true;
}

}  // namespace

void scriptRegister(void* module, ScriptFunction script) {
  if (Bind()) Exports.scriptRegister(static_cast<HMODULE>(module), script);
}
void scriptUnregister(void* module) {
  if (Bound) Exports.scriptUnregister(static_cast<HMODULE>(module));
}
void keyboardHandlerRegister(KeyboardHandlerFunction handler) {
  if (Bind()) Exports.keyboardHandlerRegister(handler);
}
void keyboardHandlerUnregister(KeyboardHandlerFunction handler) {
  if (Bound) Exports.keyboardHandlerUnregister(handler);
}

// The script runs only when registration succeeded, so these are bound.
void scriptWait(uint32_t milliseconds) {
  Exports.scriptWait(milliseconds);
}
void nativeInit(uint64_t hash) {
  Exports.nativeInit(hash);
}
void nativePush64(uint64_t value) {
  Exports.nativePush64(value);
}
uint64_t* nativeCall() {
  return Exports.nativeCall();
}
int32_t worldGetAllPeds(int32_t* handles, int32_t capacity) {
  return Exports.worldGetAllPeds(reinterpret_cast<int*>(handles), capacity);
}

}  // namespace sagebrook::hook

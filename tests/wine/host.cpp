// Loads the shipped Sagebrook.asi under wine next to the stand-in hook and
// checks what the real Windows code paths do.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int Passed = 0;
int Failed = 0;

void Check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
  (ok ? Passed : Failed)++;
}

template <class F>
F Get(HMODULE module, const char* name) {
  auto proc = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (!proc) {
    std::printf("FAILED: stand-in hook has no %s\n", name);
    std::exit(1);
  }
  return proc;
}

struct StandIn {
  HMODULE module;
  void* (*registeredModule)();
  int (*log)(char*, int);
  void (*setPlayer)(int);
  void (*setGamepad)(int);
  int (*runFrames)(int);
  void (*releaseKey)(unsigned);
  int (*countCalls)(const char*);
  int (*lastFrameTexts)(char*, int);
  int (*lastFrameRects)();

  std::string Log() {
    char buffer[4096];
    log(buffer, sizeof buffer);
    return buffer;
  }
  std::string Texts(int* count) {
    char buffer[8192];
    *count = lastFrameTexts(buffer, sizeof buffer);
    return buffer;
  }
};

StandIn LoadStandIn() {
  StandIn s{};
  s.module = LoadLibraryW(L"ScriptHookRDR2.dll");
  if (!s.module) {
    std::printf("FAILED: cannot load the stand-in ScriptHookRDR2.dll\n");
    std::exit(1);
  }
  s.registeredModule = Get<void* (*)()>(s.module, "StandInModule");
  s.log = Get<int (*)(char*, int)>(s.module, "StandInLog");
  s.setPlayer = Get<void (*)(int)>(s.module, "StandInSetPlayer");
  s.setGamepad = Get<void (*)(int)>(s.module, "StandInSetGamepad");
  s.runFrames = Get<int (*)(int)>(s.module, "StandInRunFrames");
  s.releaseKey = Get<void (*)(unsigned)>(s.module, "StandInReleaseKey");
  s.countCalls = Get<int (*)(const char*)>(s.module, "StandInCountCalls");
  s.lastFrameTexts = Get<int (*)(char*, int)>(s.module, "StandInLastFrameTexts");
  s.lastFrameRects = Get<int (*)()>(s.module, "StandInLastFrameRects");
  return s;
}

void WithoutHook() {
  HMODULE plugin = LoadLibraryW(L"Sagebrook.asi");
  Check(plugin != nullptr, "without the hook the plugin still loads");
  if (plugin) Check(FreeLibrary(plugin) != 0, "without the hook the plugin unloads cleanly");
}

void WithHook() {
  StandIn hook = LoadStandIn();
  HMODULE plugin = LoadLibraryW(L"Sagebrook.asi");
  Check(plugin != nullptr, "the plugin loads beside the hook");
  if (!plugin) return;
  Check(hook.Log() == "scriptRegister\nkeyboardHandlerRegister\n",
        "the script is registered before the keyboard handler");
  Check(hook.registeredModule() == plugin, "the script is registered with the plugin's module");

  Check(hook.runFrames(5) == 5, "each scriptWait hands one frame back to the host");
  hook.releaseKey(122);
  hook.releaseKey(400);
  Check(hook.runFrames(3) == 3, "the script keeps running after key releases");

  Check(FreeLibrary(plugin) != 0, "the plugin unloads");
  Check(hook.Log() ==
            "scriptRegister\nkeyboardHandlerRegister\nkeyboardHandlerUnregister\n"
            "scriptUnregister\n",
        "on unload the keyboard handler goes before the script");
}

}  // namespace

int main() {
  WithoutHook();
  WithHook();
  std::printf("%d passed, %d failed\n", Passed, Failed);
  return Failed == 0 ? 0 : 1;
}

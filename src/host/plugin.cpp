#include "host/plugin.h"

#include "diag/key_bindings.h"
#include "diag/log.h"
#include "game/hook.h"
#include "game/random.h"
#include "game/wait.h"
#include "platform/platform.h"
#include "ui/settings.h"

namespace sagebrook {

namespace {
constexpr uint32_t kProcessDetach = 0;
constexpr uint32_t kProcessAttach = 1;
}  // namespace

int32_t PluginEntry(void* module, uint32_t reason, void* /*reserved*/) {
  if (reason == kProcessAttach) {
    hook::scriptRegister(module, ScriptMain);
    hook::keyboardHandlerRegister(KeyboardHandler);
  } else if (reason == kProcessDetach) {
    hook::keyboardHandlerUnregister(KeyboardHandler);
    hook::scriptUnregister(module);
  }
  return 1;
}

void KeyboardHandler(uint32_t key, uint16_t /*repeats*/, uint8_t /*scanCode*/, int32_t /*extended*/,
                     int32_t /*alt*/, int32_t wasDownBefore, int32_t isUpNow) {
  if (wasDownBefore != 0 && isUpNow != 0) RecordKeyPress(key);
}

void ScriptMain() {
  srand(platform::TickCount());
  LogLine("==== Sagebrook loaded. F11 / RB+X menu ====");
  ReadKeyBindings();
  BuildMenu();
  ScriptLoop();
}

void ScriptLoop() {
  for (;;) {
    FrameUpdate();
    WaitForGame(0);
  }
}

}  // namespace sagebrook

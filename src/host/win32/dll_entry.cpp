#include <windows.h>

#include "host/plugin.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  return sagebrook::PluginEntry(module, reason, reserved);
}

#pragma once
// What the wine hosts share: finding the stand-in hook's controls.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

// The named export of the stand-in hook; a missing one ends the host.
template <class F>
F Get(HMODULE module, const char* name) {
  auto proc = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (!proc) {
    std::printf("FAILED: stand-in hook has no %s\n", name);
    std::exit(1);
  }
  return proc;
}

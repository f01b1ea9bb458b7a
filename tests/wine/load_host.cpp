// The shipped DLL under load: thousands of frames of random key releases
// and events fired from the menu, then unload. Arguments: frames (default
// 6000) and the seed of the key sequence (default 14); the DLL itself draws
// on Windows' tick count, so its events differ from run to run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "standin.h"

namespace {

struct StandIn {
  int (*log)(char*, int);
  void (*setPlayer)(int);
  int (*runFrames)(int);
  void (*releaseKey)(unsigned);
  int (*lastFrameTexts)(char*, int);
  void (*reset)();
  void (*buildCountry)();

  std::string Log() {
    static char buffer[1 << 16];
    log(buffer, sizeof buffer);
    return buffer;
  }
  // The row the open menu highlights ("< ... >"), or "" with the menu closed.
  std::string Selected() {
    static char buffer[8192];
    lastFrameTexts(buffer, sizeof buffer);
    std::istringstream in(buffer);
    for (std::string line; std::getline(in, line);) {
      if (line.size() > 4 && line.front() == '<' && line.back() == '>') return line;
    }
    return "";
  }
};

int CountLines(const char* file, const std::string& text) {
  FILE* f = std::fopen(file, "rb");
  if (!f) return 0;
  int n = 0;
  char line[1024];
  while (std::fgets(line, sizeof line, f)) n += std::string(line).find(text) != std::string::npos;
  std::fclose(f);
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 6000;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 14u;
  HMODULE m = LoadLibraryW(L"ScriptHookRDR2.dll");
  if (!m) return std::printf("FAILED: cannot load the stand-in ScriptHookRDR2.dll\n"), 1;
  StandIn hook{Get<int (*)(char*, int)>(m, "StandInLog"),
               Get<void (*)(int)>(m, "StandInSetPlayer"),
               Get<int (*)(int)>(m, "StandInRunFrames"),
               Get<void (*)(unsigned)>(m, "StandInReleaseKey"),
               Get<int (*)(char*, int)>(m, "StandInLastFrameTexts"),
               Get<void (*)()>(m, "StandInReset"),
               Get<void (*)()>(m, "StandInBuildCountry")};
  DeleteFileW(L"Sagebrook.log");
  hook.reset();
  hook.setPlayer(1);
  hook.buildCountry();
  HMODULE plugin = LoadLibraryW(L"Sagebrook.asi");
  if (!plugin) return std::printf("FAILED: the plugin does not load\n"), 1;

  std::mt19937 random(seed);
  // Random releases of keys that move about, open and close the menu, or mean
  // nothing to it; settings change only on the way to the two goals below.
  const unsigned keys[] = {VK_F11, VK_UP, VK_DOWN, VK_BACK, 0x41, 0x100, 0xFFFF};
  int ran = 0, triggers = 0;
  bool logging = false, wantTrigger = false;
  for (int frame = 0; frame < frames; ++frame) {
    const std::string selected = hook.Selected();
    wantTrigger = wantTrigger || random() % 40 == 0;
    if (!logging || wantTrigger) {
      // First "Logging: ON", then "Trigger Event Now" now and then.
      const std::string want = logging ? "< Trigger Event Now >" : "< Logging: OFF >";
      if (!logging && selected == "< Logging: ON >") {
        logging = true;
      } else if (selected.empty()) {
        hook.releaseKey(VK_F11);
      } else if (selected != want) {
        hook.releaseKey(VK_UP);
      } else {
        hook.releaseKey(VK_RETURN);
        triggers += logging ? 1 : 0;
        wantTrigger = false;
      }
    } else if (random() % 3 == 0) {
      hook.releaseKey(keys[random() % 7]);
    }
    ran += hook.runFrames(1);
  }
  const std::string log = hook.Log();
  const bool clean = log.find("FAIL") == std::string::npos;
  const int events = CountLines("Sagebrook.log", "EVENT ");
  const BOOL freed = FreeLibrary(plugin);
  const std::string after = hook.Log();
  const std::string tail = "keyboardHandlerUnregister\nscriptUnregister\n";
  const bool ordered =
      after.size() >= tail.size() && after.substr(after.size() - tail.size()) == tail;
  std::printf(
      "seed %u: %d frames run of %d, %d Enter presses on Trigger Event Now, %d event lines\n", seed,
      ran, frames, triggers, events);
  if (!clean) std::printf("FAILED: the simulated game reported:\n%s", log.c_str());
  if (ran != frames) std::printf("FAILED: the script stopped running\n");
  if (events == 0) std::printf("FAILED: no event was logged\n");
  if (!freed || !ordered)
    std::printf("FAILED: unload did not unregister in order:\n%s", after.c_str());
  return clean && ran == frames && events > 0 && freed && ordered ? 0 : 1;
}

// The shipped Sagebrook.asi under wine, loaded alone as an ASI loader does, from a game
// folder outside the ANSI code page with the stand-in hook and a fake XInput.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int Failed = 0;

void Check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
  Failed += ok ? 0 : 1;
}

template <class F>
F Get(HMODULE module, const char* name) {
  FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
  if (!proc) std::printf("FAILED: no %s to call\n", name), std::exit(1);
  return reinterpret_cast<F>(reinterpret_cast<void*>(proc));
}

constexpr unsigned kMenuKey = VK_F10;  // as Sagebrook.ini sets it
constexpr unsigned kPadRBX = 0x0200 | 0x4000;
const std::string kRegistered = "scriptRegister\nkeyboardHandlerRegister\n";

struct Game {
  // The plugin's import, held on to so that it outlives the plugin.
  HMODULE hook = GetModuleHandleW(L"ScriptHookRDR2.dll") ? LoadLibraryW(L"ScriptHookRDR2.dll") : 0;
  HMODULE pad = LoadLibraryW(L"xinput1_4.dll");
  void* (*registeredModule)() = Get<void* (*)()>(hook, "StandInModule");
  int (*log)(char*, int) = Get<int (*)(char*, int)>(hook, "StandInLog");
  void (*setPlayer)(int) = Get<void (*)(int)>(hook, "StandInSetPlayer");
  int (*runFrames)(int) = Get<int (*)(int)>(hook, "StandInRunFrames");
  void (*releaseKey)(unsigned) = Get<void (*)(unsigned)>(hook, "StandInReleaseKey");
  int (*texts)(char*, int) = Get<int (*)(char*, int)>(hook, "StandInLastFrameTexts");
  void (*buildCountry)() = Get<void (*)()>(hook, "StandInBuildCountry");
  void (*setPad)(int, unsigned) = Get<void (*)(int, unsigned)>(pad, "FakePadSet");
  LONG (*padReads)() = Get<LONG (*)()>(pad, "FakePadReads");
  LONG reads = 0;
  DWORD lastReadAt = 0;

  std::string Read(int (*from)(char*, int)) {
    static char buffer[1 << 16];
    from(buffer, sizeof buffer);
    return buffer;
  }
  bool MenuOpen() { return Read(texts).rfind("SAGEBROOK\n", 0) == 0; }
  // The row the open menu highlights ("< ... >"), or "".
  std::string Selected() {
    const std::string all = Read(texts);
    const size_t at = all.find("\n<");
    return at == std::string::npos ? "" : all.substr(at + 1, all.find('\n', at + 1) - at - 1);
  }
  void Frame() {
    runFrames(1);
    if (padReads() != reads) lastReadAt = GetTickCount();
    reads = padReads();
  }
  void Press(unsigned key) { releaseKey(key), Frame(); }
};

}  // namespace

int main() {
  DeleteFileW(L"Sagebrook.log");
  wchar_t path[2048];
  std::wstring ini(path, GetModuleFileNameW(nullptr, path, 2048));
  std::ofstream((ini.substr(0, ini.rfind(L'\\') + 1) + L"Sagebrook.ini").c_str(), std::ios::binary)
      << "[Keys]\r\nMenu=121\r\n";
  HMODULE plugin = LoadLibraryW(L"Sagebrook.asi");
  if (!plugin) return std::printf("FAILED: the plugin did not load alone\n"), 1;
  Game game;
  Check(game.Read(game.log) == kRegistered && game.registeredModule() == plugin,
        "loaded alone, it registers its script, then its keyboard handler, with its own module");

  game.setPlayer(1);
  game.buildCountry();
  game.Frame();
  game.Press(VK_F11);
  const bool f11Opened = game.MenuOpen();
  game.Press(kMenuKey);
  Check(!f11Opened && game.MenuOpen(), "Sagebrook.ini beside the executable moves the menu to F10");

  // About 400 frames a second, no gamepad: Logging on, then Trigger Event Now now and then.
  const LONG readsBefore = game.reads;
  const DWORD start = GetTickCount();
  bool logging = false;
  for (int frame = 0; frame < 2500; ++frame, Sleep(2)) {
    const std::string selected = game.Selected();
    logging = logging || selected == "< Logging: ON >";
    if (selected.empty()) {
      game.releaseKey(kMenuKey);
    } else if (selected != (logging ? "< Trigger Event Now >" : "< Logging: OFF >")) {
      game.releaseKey(VK_UP);
    } else if (!logging || frame % 40 == 0) {
      game.releaseKey(VK_RETURN);
    }
    game.Frame();
  }
  const DWORD elapsed = GetTickCount() - start;
  const LONG reads = game.reads - readsBefore;
  std::printf("%ld reads of the unplugged gamepad in %lu ms of frames\n", reads, elapsed);
  Check(reads <= 1 + static_cast<LONG>(elapsed / 2000),
        "with no controller, XInputGetState is called once per 2 s");
  std::ifstream file("Sagebrook.log", std::ios::binary);
  const std::string log{std::istreambuf_iterator<char>(file), {}};
  bool stamped = log.size() > 2 && log.compare(log.size() - 2, 2, "\r\n") == 0;
  for (size_t at = 0; stamped && at < log.size(); at = log.find("\r\n", at) + 2) {
    stamped = log.compare(at, 1, "[") == 0 && log.compare(at + 13, 2, "] ") == 0;
  }
  Check(stamped && log.find("] EVENT Predator: model=A_C_") != std::string::npos,
        "Sagebrook.log holds the events fired, each line stamped and ending in CR LF");
  Check(game.Read(game.log).find("FAIL") == std::string::npos, "the game saw no bad native call");

  // Plugged in with RB+X held, the pad is read 2 s after the last read that found none, then
  // every frame; RB+X opens the menu, and after an unplug closes it. Meanwhile the row stays.
  for (int i = 0; i < 30; ++i) game.Frame();  // no event start mid-frame
  if (game.MenuOpen()) game.Press(kMenuKey);
  for (const bool open : {true, false}) {
    const DWORD absentSince = game.lastReadAt;
    const std::string row = game.Selected();
    game.setPad(1, kPadRBX);
    bool rowKept = true;
    for (DWORD since = GetTickCount(); game.MenuOpen() != open && GetTickCount() - since < 4000;
         Sleep(10)) {
      rowKept = rowKept && game.Selected() == row;
      game.Frame();
    }
    const DWORD waited = GetTickCount() - absentSince;
    const LONG before = game.reads;
    for (int i = 0; i < 30; ++i) game.Frame();
    std::printf("RB+X took effect %lu ms after the last read that found no pad\n", waited);
    Check(rowKept && waited >= 1950 && waited <= 2200 && game.reads - before == 30,
          open ? "a pad plugged in is read within 2 s, then every frame; RB+X opens the menu"
               : "again after an unplug with RB+X held, and it closes the menu");
    game.setPad(0, kPadRBX);
    game.Frame();
  }

  Check(FreeLibrary(plugin) &&
            game.Read(game.log) == kRegistered + "keyboardHandlerUnregister\nscriptUnregister\n",
        "on unload the keyboard handler goes first, then the script");
  return Failed == 0 ? 0 : 1;
}

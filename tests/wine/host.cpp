// The shipped Sagebrook.asi under wine, loaded as an ASI loader does it: alone,
// from a game folder named outside the ANSI code page that holds the stand-in
// hook and a fake XInput. It checks what only the real binary shows: the hook
// coming in as its import, registering and unregistering in order, the ini
// beside the executable, the log file, the gamepad read through XInput
// (absent, then plugged in), and thousands of frames of random keys.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
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
  if (!proc) {
    std::printf("FAILED: no %s to call\n", name);
    std::exit(1);
  }
  return reinterpret_cast<F>(reinterpret_cast<void*>(proc));
}

constexpr unsigned kMenuKey = VK_F10;  // as Sagebrook.ini sets it
constexpr unsigned kPadRBX = 0x0200 | 0x4000;

// The stand-in hook's and the fake XInput's controls, and frames run through them.
struct Game {
  HMODULE hook = LoadLibraryW(L"ScriptHookRDR2.dll");
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

  std::string Log() {
    static char buffer[1 << 16];
    log(buffer, sizeof buffer);
    return buffer;
  }
  std::string Texts() {
    static char buffer[8192];
    texts(buffer, sizeof buffer);
    return buffer;
  }
  bool MenuOpen() { return Texts().rfind("SAGEBROOK\n", 0) == 0; }
  // The row the open menu highlights ("< ... >"), or "".
  std::string Selected() {
    const std::string all = Texts();
    const size_t start = all.find("\n<");
    return start == std::string::npos
               ? ""
               : all.substr(start + 1, all.find('\n', start + 1) - start - 1);
  }
  void Frame() {
    runFrames(1);
    if (padReads() != reads) lastReadAt = GetTickCount();
    reads = padReads();
  }
  void Press(unsigned key) {
    releaseKey(key);
    Frame();
  }
};

std::wstring ExecutableFolder() {
  wchar_t path[2048];
  std::wstring p(path, GetModuleFileNameW(nullptr, path, 2048));
  return p.substr(0, p.find_last_of(L'\\') + 1);
}

std::string ReadFile(const wchar_t* name) {
  std::string content;
  if (FILE* file = _wfopen(name, L"rb")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) content.append(buffer, n);
    std::fclose(file);
  }
  return content;
}

// Random key releases with the gamepad unplugged, about 400 frames a second;
// on the way Logging is turned on and Trigger Event Now pressed now and then.
// Keys go only to the open menu, which takes them at once: a release left
// pending would be taken when the gamepad opens the menu.
void RandomKeys(Game& game, int frames) {
  std::mt19937 random(14);
  const unsigned keys[] = {kMenuKey, VK_F11, VK_UP, VK_DOWN, VK_BACK, 0x41, 0x100, 0xFFFF};
  bool logging = false, wantTrigger = false;
  for (int frame = 0; frame < frames; ++frame, Sleep(2)) {
    const std::string selected = game.Selected();
    wantTrigger = wantTrigger || random() % 40 == 0;
    if (!logging || wantTrigger) {
      const std::string want = logging ? "< Trigger Event Now >" : "< Logging: OFF >";
      logging = logging || selected == "< Logging: ON >";
      if (selected.empty()) {
        game.releaseKey(kMenuKey);
      } else if (selected != want) {
        game.releaseKey(VK_UP);
      } else {
        game.releaseKey(VK_RETURN);
        wantTrigger = false;
      }
    } else if (!selected.empty() && random() % 3 == 0) {
      game.releaseKey(keys[random() % 8]);
    }
    game.Frame();
  }
}

}  // namespace

int main() {
  DeleteFileW(L"Sagebrook.log");
  if (FILE* ini = _wfopen((ExecutableFolder() + L"Sagebrook.ini").c_str(), L"wb")) {
    std::fputs("[Keys]\r\nMenu=121\r\n", ini);
    std::fclose(ini);
  }
  const bool hookBefore = GetModuleHandleW(L"ScriptHookRDR2.dll") != nullptr;
  HMODULE plugin = LoadLibraryW(L"Sagebrook.asi");
  Check(!hookBefore && plugin && GetModuleHandleW(L"ScriptHookRDR2.dll"),
        "loaded first, the plugin brings the hook in as its import");
  if (!plugin) return 1;
  Game game;
  Check(game.Log() == "scriptRegister\nkeyboardHandlerRegister\n" &&
            game.registeredModule() == plugin,
        "it registers its script, then its keyboard handler, with its own module");

  game.setPlayer(1);
  game.buildCountry();
  game.Frame();
  game.Press(VK_F11);
  const bool f11Opened = game.MenuOpen();
  game.Press(kMenuKey);
  Check(!f11Opened && game.MenuOpen(), "Sagebrook.ini beside the executable moves the menu to F10");
  game.Press(kMenuKey);

  const LONG readsBefore = game.reads;
  const DWORD start = GetTickCount();
  RandomKeys(game, 2500);
  const DWORD elapsed = GetTickCount() - start;
  const LONG reads = game.reads - readsBefore;
  std::printf("%ld reads of the unplugged gamepad in %lu ms of frames\n", reads, elapsed);
  Check(reads <= 1 + static_cast<LONG>(elapsed / 2000),
        "with no controller, XInputGetState is called once per 2 s");
  const std::string log = ReadFile(L"Sagebrook.log");
  bool stamped = log.size() > 2 && log.compare(log.size() - 2, 2, "\r\n") == 0;
  for (size_t at = 0; stamped && at < log.size(); at = log.find("\r\n", at) + 2) {
    stamped = log.compare(at, 1, "[") == 0 && log.compare(at + 13, 2, "] ") == 0;
  }
  Check(stamped && log.find("] EVENT Predator: model=A_C_") != std::string::npos,
        "Sagebrook.log holds the events fired, formatted, each line stamped and ending in CR LF");
  Check(game.Log().find("FAIL") == std::string::npos, "the game saw no bad native call");

  // Plugged in with RB+X held, the pad is read 2 s after the last read that
  // found none and opens the menu; from then on every frame reads it. Then
  // unplugged with RB+X held and plugged in again, it closes the menu the same
  // way: a pad not read has no buttons down, so meanwhile the row stays put.
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
      game.Frame();  // about 100 frames a second
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

  Check(FreeLibrary(plugin) && game.Log() ==
                                   "scriptRegister\nkeyboardHandlerRegister\n"
                                   "keyboardHandlerUnregister\nscriptUnregister\n",
        "on unload the keyboard handler goes first, then the script");
  return Failed == 0 ? 0 : 1;
}

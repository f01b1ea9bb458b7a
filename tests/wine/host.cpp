// Loads the shipped Sagebrook.asi under wine next to the stand-in hook and
// checks what the real Windows code paths do: the hook coming in as the
// plugin's import, entry, the script on a fiber, keys, menu drawing, the ini
// file, the log file and events triggered from the menu.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "standin.h"

namespace {

int Passed = 0;
int Failed = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  (ok ? Passed : Failed)++;
}

bool Near(float a, float b) {
  return std::fabs(a - b) < 1e-4f;
}

// The stand-in hook's controls.
struct StandIn {
  void* (*registeredModule)();
  int (*log)(char*, int);
  void (*setPlayer)(int);
  int (*runFrames)(int);
  void (*releaseKey)(unsigned);
  int (*lastFrameTexts)(char*, int);
  int (*lastFrameRects)();
  int (*lastFrameText)(int, char*, int, float*);
  int (*lastFrameRect)(int, float*);
  void (*reset)();
  void (*addModel)(const char*);
  void (*setClockHour)(int);

  std::string Log() {
    char buffer[4096];
    log(buffer, sizeof buffer);
    return buffer;
  }
  std::vector<std::string> Texts() {
    char buffer[8192];
    int n = lastFrameTexts(buffer, sizeof buffer);
    std::vector<std::string> lines;
    std::istringstream in(buffer);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    if (static_cast<int>(lines.size()) != n) lines.push_back("(count mismatch)");
    return lines;
  }
  // Presses a key and lets the plugin see it in one frame.
  void Press(unsigned key) {
    releaseKey(key);
    runFrames(1);
  }
  // The notification line of the last frame, found by where it is drawn.
  std::string Notification() {
    float t[6];
    char text[256];
    for (int i = static_cast<int>(Texts().size()) - 1; i >= 0; --i) {
      if (lastFrameText(i, text, sizeof text, t) && Near(t[0], 0.5f) && Near(t[1], 0.92f)) {
        return text;
      }
    }
    return "";
  }
};

StandIn StandInControls(HMODULE m) {
  StandIn s{};
  s.registeredModule = Get<void* (*)()>(m, "StandInModule");
  s.log = Get<int (*)(char*, int)>(m, "StandInLog");
  s.setPlayer = Get<void (*)(int)>(m, "StandInSetPlayer");
  s.runFrames = Get<int (*)(int)>(m, "StandInRunFrames");
  s.releaseKey = Get<void (*)(unsigned)>(m, "StandInReleaseKey");
  s.lastFrameTexts = Get<int (*)(char*, int)>(m, "StandInLastFrameTexts");
  s.lastFrameRects = Get<int (*)()>(m, "StandInLastFrameRects");
  s.lastFrameText = Get<int (*)(int, char*, int, float*)>(m, "StandInLastFrameText");
  s.lastFrameRect = Get<int (*)(int, float*)>(m, "StandInLastFrameRect");
  s.reset = Get<void (*)()>(m, "StandInReset");
  s.addModel = Get<void (*)(const char*)>(m, "StandInAddModel");
  s.setClockHour = Get<void (*)(int)>(m, "StandInSetClockHour");
  return s;
}

StandIn LoadStandIn() {
  HMODULE m = LoadLibraryW(L"ScriptHookRDR2.dll");
  if (!m) {
    std::printf("FAILED: cannot load the stand-in ScriptHookRDR2.dll\n");
    std::exit(1);
  }
  return StandInControls(m);
}

std::wstring ExecutableFolder() {
  wchar_t path[2048];
  DWORD n = GetModuleFileNameW(nullptr, path, 2048);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L'\\') + 1);
}

// A game folder holding copies of the named files from this host's folder.
bool MakeGameFolder(const std::wstring& folder, std::initializer_list<const wchar_t*> files) {
  CreateDirectoryW(folder.c_str(), nullptr);
  bool copied = true;
  for (const wchar_t* name : files) {
    copied &= CopyFileW((ExecutableFolder() + name).c_str(), (folder + name).c_str(), FALSE) != 0;
  }
  return copied;
}

// Runs the host in folder with one argument, in a process of its own so that
// nothing this process loaded is there; returns its exit code.
DWORD RunHost(const std::wstring& folder, const wchar_t* argument) {
  std::wstring command = L"\"" + folder + L"wine_host.exe\" " + argument;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  DWORD code = 1;
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                     &si, &pi)) {
    WaitForSingleObject(pi.hProcess, 60000);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  return code;
}

// A fresh game with the player in control, and the plugin loaded into it.
HMODULE StartPlugin(StandIn& hook) {
  hook.reset();
  hook.setPlayer(1);
  HMODULE plugin = LoadLibraryW(L"Sagebrook.asi");
  if (plugin) hook.runFrames(2);
  return plugin;
}

// Run in the game folder with nothing loaded before the plugin, as an ASI
// loader does it: the hook must come in as the plugin's import.
int AloneCheck() {
  const bool hookBefore = GetModuleHandleW(L"ScriptHookRDR2.dll") != nullptr;
  HMODULE plugin = LoadLibraryW(L"Sagebrook.asi");
  HMODULE hookModule = GetModuleHandleW(L"ScriptHookRDR2.dll");
  Check(!hookBefore && plugin != nullptr && hookModule != nullptr,
        "loaded first, the plugin brings the hook in with it");
  if (!plugin || !hookModule) return 1;
  StandIn hook = StandInControls(hookModule);
  Check(hook.Log() == "scriptRegister\nkeyboardHandlerRegister\n" &&
            hook.registeredModule() == plugin,
        "the plugin registers its script and keyboard handler with that hook");
  hook.setPlayer(1);
  hook.runFrames(2);
  hook.Press(VK_F11);
  Check(!hook.Texts().empty() && hook.Texts()[0] == "SAGEBROOK",
        "its script runs and its keyboard handler opens the menu");
  FreeLibrary(plugin);
  return Failed == 0 ? 0 : 1;
}

int WithoutHookCheck() {
  HMODULE plugin = LoadLibraryW(L"Sagebrook.asi");
  DWORD error = GetLastError();
  std::printf("LoadLibrary: %p, error %lu\n", static_cast<void*>(plugin), error);
  return plugin == nullptr && error == ERROR_MOD_NOT_FOUND ? 0 : 1;
}

void LoadedAlone() {
  Check(RunHost(ExecutableFolder(), L"alone") == 0,
        "Sagebrook.asi works when it is the only thing loaded");
}

void WithoutHook() {
  const std::wstring folder = ExecutableFolder() + L"no hook\\";
  DeleteFileW((folder + L"ScriptHookRDR2.dll").c_str());
  if (!MakeGameFolder(folder, {L"wine_host.exe", L"Sagebrook.asi"})) {
    return Check(false, "making a game folder without the hook");
  }
  Check(RunHost(folder, L"without-hook") == 0, "without the hook Windows refuses the plugin");
}

void Registration(StandIn& hook) {
  hook.reset();
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

void Menu(StandIn& hook) {
  HMODULE plugin = StartPlugin(hook);
  if (!plugin) return Check(false, "the plugin loads for the menu test");
  Check(hook.Texts().empty(), "nothing is drawn while the menu is closed");
  hook.Press(VK_F11);
  const std::vector<std::string> expected = {"SAGEBROOK",
                                             "v1.1",
                                             "< Trigger Event Now >",
                                             "Ambient Events: ON",
                                             "Frequency: Normal",
                                             "Spawn Distance: Random",
                                             "Event Blips: ON",
                                             "Predator Attack: ON",
                                             "Runaway Wagon: ON",
                                             "Public Hanging: ON",
                                             "Drunken Folk: ON",
                                             "Bounty Hunters: ON",
                                             "Logging: OFF",
                                             "Clear Spawned",
                                             "Fire one random enabled event right now.  [Enter]"};
  Check(hook.Texts() == expected, "F11 opens the menu with every row");
  Check(hook.lastFrameRects() == 9, "the panel is eight rectangles and the highlight");

  float r[8];
  hook.lastFrameRect(0, r);
  Check(Near(r[0], 0.15525f) && Near(r[1], 0.151875f) && Near(r[2], 0.2805f) &&
            Near(r[3], 0.12375f) && r[7] == 255.0f,
        "the header is drawn where and how it belongs at 1080 lines");
  float t[6];
  char text[128];
  hook.lastFrameText(2, text, sizeof text, t);
  Check(Near(t[0], 0.15525f) && Near(t[1], 0.222f) && Near(t[2], 0.462f) && t[3] == 255.0f &&
            t[4] == 220.0f && t[5] == 40.0f,
        "the selected row is gold at its place and scale");
  hook.lastFrameText(14, text, sizeof text, t);
  Check(Near(t[1], 0.87705f) && Near(t[2], 0.3135f), "the help line sits in the footer");

  hook.Press(VK_DOWN);
  Check(hook.Texts()[3] == "< Ambient Events: ON >", "Down selects the next row");
  hook.Press(VK_F11);
  Check(hook.Texts().empty(), "F11 closes the menu");
  FreeLibrary(plugin);
}

bool WriteIni(const std::wstring& folder, const char* content) {
  FILE* ini = _wfopen((folder + L"Sagebrook.ini").c_str(), L"wb");
  if (!ini) return false;
  bool ok = std::fputs(content, ini) >= 0;
  return std::fclose(ini) == 0 && ok;
}

// Run in a copy of the host whose folder name is outside the ANSI code page.
int IniRemapCheck() {
  StandIn hook = LoadStandIn();
  HMODULE plugin = StartPlugin(hook);
  if (!plugin) return 1;
  hook.Press(VK_F11);
  bool f11Ignored = hook.Texts().empty();
  hook.Press(VK_F10);
  bool f10Opens = !hook.Texts().empty();
  FreeLibrary(plugin);
  std::printf("F11 ignored: %d, F10 opens: %d\n", f11Ignored, f10Opens);
  return f11Ignored && f10Opens ? 0 : 1;
}

void IniFile(StandIn& hook) {
  const std::wstring here = ExecutableFolder();
  if (!WriteIni(here, "[Keys]\r\nMenu=121\r\n")) return Check(false, "writing Sagebrook.ini");
  HMODULE plugin = StartPlugin(hook);
  hook.Press(VK_F11);
  Check(hook.Texts().empty(), "with Menu=121 in Sagebrook.ini, F11 no longer opens the menu");
  hook.Press(VK_F10);
  Check(!hook.Texts().empty(), "with Menu=121 in Sagebrook.ini, F10 opens the menu");
  FreeLibrary(plugin);
  DeleteFileW((here + L"Sagebrook.ini").c_str());

  // The same from a folder whose name the ANSI code page cannot spell.
  const std::wstring folder = here + L"\u30B2\u30FC\u30E0 \u00DF\u0416\\";
  if (!MakeGameFolder(folder, {L"wine_host.exe", L"ScriptHookRDR2.dll", L"Sagebrook.asi"}) ||
      !WriteIni(folder, "[Keys]\r\nMenu=121\r\n")) {
    return Check(false, "copying the host into a folder outside the code page");
  }
  Check(RunHost(folder, L"ini-check") == 0,
        "Sagebrook.ini is found in a folder named outside the ANSI code page");
}

std::string ReadLog() {
  FILE* file = std::fopen("Sagebrook.log", "rb");
  if (!file) return "";
  std::string content;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) content.append(buffer, n);
  std::fclose(file);
  return content;
}

// Menu rows, top to bottom; the texts drawn start with the title and version.
enum MenuRow {
  kTriggerRow = 0,
  kPredatorRow = 5,
  kRunawayWagonRow,
  kPublicHangingRow,
  kDrunkenFolkRow,
  kBountyHuntersRow,
  kLoggingRow,
};
constexpr size_t kFirstTextRow = 2;

struct EventRun {
  std::string log;
  std::string notification;
};

// In a freshly started plugin, through the menu: every event kind off but the
// one on eventRow, Logging on, then "Trigger Event Now" and frames more
// frames. Returns what Sagebrook.log gained and the notification shown.
EventRun TriggerOnly(StandIn& hook, MenuRow eventRow, int frames) {
  DeleteFileW(L"Sagebrook.log");
  int selected = kTriggerRow;
  auto select = [&](int row) {
    for (; selected < row; ++selected) hook.Press(VK_DOWN);
    for (; selected > row; --selected) hook.Press(VK_UP);
  };
  hook.Press(VK_F11);
  for (int row = kPredatorRow; row <= kLoggingRow; ++row) {
    if (row == eventRow) continue;
    select(row);
    hook.Press(VK_RETURN);
  }
  const std::vector<std::string> rows = hook.Texts();
  bool asAsked = rows.size() > kFirstTextRow + kLoggingRow;
  for (int row = kPredatorRow; asAsked && row <= kLoggingRow; ++row) {
    const bool on =
        rows[kFirstTextRow + static_cast<size_t>(row)].find(": ON") != std::string::npos;
    asAsked = on == (row == eventRow || row == kLoggingRow);
  }
  Check(asAsked, "the menu leaves one event kind on (row " + std::to_string(eventRow) +
                     ") and switches Logging on");
  select(kTriggerRow);
  hook.Press(VK_RETURN);
  hook.runFrames(frames);
  EventRun run{ReadLog(), hook.Notification()};
  DeleteFileW(L"Sagebrook.log");
  return run;
}

void Logging(StandIn& hook) {
  DeleteFileW(L"Sagebrook.log");
  HMODULE plugin = StartPlugin(hook);
  for (const char* model : {"A_C_Wolf", "A_C_Cougar_01", "A_C_Bear_01"}) hook.addModel(model);
  Check(GetFileAttributesW(L"Sagebrook.log") == INVALID_FILE_ATTRIBUTES,
        "with logging off no log file is made");
  const EventRun run = TriggerOnly(hook, kPredatorRow, 5);  // the model streams in over frames
  const size_t line = run.log.find("EVENT Predator: model=");
  Check(line != std::string::npos && run.notification == "A predator is stalking you!",
        "Trigger Event Now writes the predator's line to Sagebrook.log and shows its notification");
  Check(line == 15 && run.log[0] == '[' && run.log[13] == ']' &&
            run.log.substr(run.log.size() - 2) == "\r\n",
        "the line has its timestamp and ends in CR LF");
  FreeLibrary(plugin);
}

// A fresh plugin at the given hour with the models given, one event kind on.
EventRun TriggerOnlyAt(StandIn& hook, int hour, std::initializer_list<const char*> models,
                       MenuRow eventRow, int frames) {
  HMODULE plugin = StartPlugin(hook);
  hook.setClockHour(hour);
  for (const char* model : models) hook.addModel(model);
  const EventRun run = TriggerOnly(hook, eventRow, frames);
  FreeLibrary(plugin);
  return run;
}

void Events(StandIn& hook) {
  const auto townsfolk = {"A_M_M_RhdTownfolk_01", "A_M_M_ValTownfolk_01", "A_M_M_StrTownfolk_01"};
  const EventRun noon = TriggerOnlyAt(hook, 12, townsfolk, kDrunkenFolkRow, 2);
  Check(noon.notification == "No event types are enabled" && noon.log.empty(),
        "at noon with only Drunken Folk on, Trigger Event Now shows \"No event types are "
        "enabled\"");

  const EventRun night = TriggerOnlyAt(hook, 22, townsfolk, kDrunkenFolkRow, 30);
  Check(night.notification == "Drunken folk are causing a ruckus nearby." &&
            night.log.find("EVENT Drunks: spawned ") != std::string::npos &&
            night.log.find("(hour=22)") != std::string::npos,
        "at 22:00 with only Drunken Folk on, the drunks come with their line and notification");

  const EventRun hunters = TriggerOnlyAt(
      hook, 12,
      {"G_M_M_BountyHunters_01", "A_M_M_UniGunslinger_01", "A_C_DogBluetickCoonhound_01",
       "A_C_DogHound_01", "A_C_DogAmericanFoxhound_01"},
      kBountyHuntersRow, 40);
  Check(hunters.notification == "Bounty hunters and their dogs are on your trail!" &&
            hunters.log.find("EVENT BountyHunters: spawned ") != std::string::npos,
        "with only Bounty Hunters on, Trigger Event Now logs the posse and shows its message");

  const EventRun hanging = TriggerOnlyAt(hook, 12, townsfolk, kPublicHangingRow, 5);
  Check(hanging.log.find("EVENT Execution: no tree/beam overhead found nearby - skipped\r\n") !=
                std::string::npos &&
            hanging.notification.empty(),
        "with only Public Hanging on in open country, the skip line is logged and nothing shown");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "ini-check") == 0) return IniRemapCheck();
  if (argc > 1 && std::strcmp(argv[1], "alone") == 0) return AloneCheck();
  if (argc > 1 && std::strcmp(argv[1], "without-hook") == 0) return WithoutHookCheck();
  LoadedAlone();
  WithoutHook();
  StandIn hook = LoadStandIn();
  Registration(hook);
  Menu(hook);
  IniFile(hook);
  Logging(hook);
  Events(hook);
  std::printf("%d passed, %d failed\n", Passed, Failed);
  return Failed == 0 ? 0 : 1;
}

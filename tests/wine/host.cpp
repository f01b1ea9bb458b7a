// Loads the shipped Sagebrook.asi under wine next to the stand-in hook and
// checks what the real Windows code paths do: entry and hook binding, the
// script on a fiber, keys, menu drawing, the ini file and the log file.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

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

template <class F>
F Get(HMODULE module, const char* name) {
  auto proc = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (!proc) {
    std::printf("FAILED: stand-in hook has no %s\n", name);
    std::exit(1);
  }
  return proc;
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
};

StandIn LoadStandIn() {
  HMODULE m = LoadLibraryW(L"ScriptHookRDR2.dll");
  if (!m) {
    std::printf("FAILED: cannot load the stand-in ScriptHookRDR2.dll\n");
    std::exit(1);
  }
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
  return s;
}

std::wstring ExecutableFolder() {
  wchar_t path[2048];
  DWORD n = GetModuleFileNameW(nullptr, path, 2048);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L'\\') + 1);
}

// A fresh game with the player in control, and the plugin loaded into it.
HMODULE StartPlugin(StandIn& hook) {
  hook.reset();
  hook.setPlayer(1);
  HMODULE plugin = LoadLibraryW(L"Sagebrook.asi");
  if (plugin) hook.runFrames(2);
  return plugin;
}

void WithoutHook() {
  HMODULE plugin = LoadLibraryW(L"Sagebrook.asi");
  Check(plugin != nullptr, "without the hook the plugin still loads");
  if (plugin) Check(FreeLibrary(plugin) != 0, "without the hook the plugin unloads cleanly");
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
  CreateDirectoryW(folder.c_str(), nullptr);
  bool copied = true;
  for (const wchar_t* name : {L"wine_host.exe", L"ScriptHookRDR2.dll", L"Sagebrook.asi"}) {
    copied &= CopyFileW((here + name).c_str(), (folder + name).c_str(), FALSE) != 0;
  }
  copied &= WriteIni(folder, "[Keys]\r\nMenu=121\r\n");
  if (!copied) return Check(false, "copying the host into a folder outside the code page");
  std::wstring command = L"\"" + folder + L"wine_host.exe\" ini-check";
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
  Check(code == 0, "Sagebrook.ini is found in a folder named outside the ANSI code page");
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

void Logging(StandIn& hook) {
  DeleteFileW(L"Sagebrook.log");
  HMODULE plugin = StartPlugin(hook);
  for (const char* model : {"A_C_Wolf", "A_C_Cougar_01", "A_C_Bear_01"}) hook.addModel(model);
  Check(GetFileAttributesW(L"Sagebrook.log") == INVALID_FILE_ATTRIBUTES,
        "with logging off no log file is made");
  hook.Press(VK_F11);
  // Only the predator stays on, so the event is sure to be it.
  for (int row = 11; row >= 6; --row) {
    hook.Press(VK_UP);
    if (row <= 10) hook.Press(VK_RETURN);
  }
  Check(hook.Texts()[8] == "< Runaway Wagon: OFF >" && hook.Texts()[12] == "Logging: ON",
        "the menu switches Logging on and four event kinds off");
  for (int i = 0; i < 6; ++i) hook.Press(VK_UP);
  hook.Press(VK_RETURN);
  hook.runFrames(5);  // the predator's model streams in over frames

  const std::string log = ReadLog();
  const size_t line = log.find("EVENT Predator: model=");
  Check(line != std::string::npos, "Trigger Event Now writes the predator's line to Sagebrook.log");
  Check(line == 15 && log[0] == '[' && log[13] == ']' && log.substr(log.size() - 2) == "\r\n",
        "the line has its timestamp and ends in CR LF");
  FreeLibrary(plugin);
  DeleteFileW(L"Sagebrook.log");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "ini-check") == 0) return IniRemapCheck();
  WithoutHook();
  StandIn hook = LoadStandIn();
  Registration(hook);
  Menu(hook);
  IniFile(hook);
  Logging(hook);
  std::printf("%d passed, %d failed\n", Passed, Failed);
  return Failed == 0 ? 0 : 1;
}

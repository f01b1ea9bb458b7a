// A stand-in ScriptHookRDR2.dll: the simulated game behind the hook's real
// (MSVC-decorated) export names, running the registered script on a fiber so
// that each scriptWait hands control back to the test host.
#include <windows.h>

#include <cstring>
#include <string>

#include "game/hook.h"
#include "sim.h"

namespace hook = sagebrook::hook;

namespace {

LPVOID HostFiber = nullptr;
LPVOID ScriptFiber = nullptr;

void WINAPI ScriptFiberMain(LPVOID) {
  sim::GetRegistrations().script();
  // A script that returns is finished; it never runs again.
  for (;;) SwitchToFiber(HostFiber);
}

void ReportFailure(const std::string& message) {
  std::string& failures = sim::GetRegistrations().log.emplace_back("FAIL ");
  failures += message;
}

void StartWorld() {
  sim::Reset();
  sim::SetFailureHandler(ReportFailure);
  sim::SetAfterWait([] { SwitchToFiber(HostFiber); });
}

}  // namespace

// The nine exports; standin_hook.def gives them the names the plugin looks up.
extern "C" {
void ExportScriptRegister(HMODULE module, void (*script)());
void ExportScriptUnregister(HMODULE module);
void ExportKeyboardHandlerRegister(hook::KeyboardHandlerFunction handler);
void ExportKeyboardHandlerUnregister(hook::KeyboardHandlerFunction handler);
void ExportScriptWait(DWORD ms);
void ExportNativeInit(uint64_t hash);
void ExportNativePush64(uint64_t value);
uint64_t* ExportNativeCall();
int ExportWorldGetAllPeds(int* handles, int capacity);

void ExportScriptRegister(HMODULE module, void (*script)()) {
  hook::scriptRegister(module, script);
}
void ExportScriptUnregister(HMODULE module) {
  if (ScriptFiber) {
    DeleteFiber(ScriptFiber);
    ScriptFiber = nullptr;
  }
  hook::scriptUnregister(module);
}
void ExportKeyboardHandlerRegister(hook::KeyboardHandlerFunction handler) {
  hook::keyboardHandlerRegister(handler);
}
void ExportKeyboardHandlerUnregister(hook::KeyboardHandlerFunction handler) {
  hook::keyboardHandlerUnregister(handler);
}
void ExportScriptWait(DWORD ms) {
  hook::scriptWait(ms);
}
void ExportNativeInit(uint64_t hash) {
  hook::nativeInit(hash);
}
void ExportNativePush64(uint64_t value) {
  hook::nativePush64(value);
}
uint64_t* ExportNativeCall() {
  return hook::nativeCall();
}
int ExportWorldGetAllPeds(int* handles, int capacity) {
  return hook::worldGetAllPeds(handles, capacity);
}

// The test host's controls.
__declspec(dllexport) void* StandInModule() {
  return sim::GetRegistrations().module;
}

__declspec(dllexport) int StandInLog(char* buffer, int capacity) {
  std::string all;
  for (const std::string& line : sim::GetRegistrations().log) all += line + "\n";
  if (capacity <= 0) return 0;
  std::strncpy(buffer, all.c_str(), static_cast<size_t>(capacity) - 1);
  buffer[capacity - 1] = '\0';
  return static_cast<int>(all.size());
}

__declspec(dllexport) void StandInSetPlayer(int inControl) {
  sim::World& w = sim::GetWorld();
  if (w.playerPed == 0) w.playerPed = sim::AddEntity(sim::EntityKind::Ped, {0, 0, 10});
  w.playerInControl = inControl != 0;
}

// Runs the script for the given frames; returns the frames the game ran.
__declspec(dllexport) int StandInRunFrames(int frames) {
  if (!sim::GetRegistrations().script) return 0;
  if (!HostFiber) HostFiber = ConvertThreadToFiber(nullptr);
  if (!ScriptFiber) ScriptFiber = CreateFiber(0, ScriptFiberMain, nullptr);
  uint64_t before = sim::GetWorld().frame;
  for (int i = 0; i < frames; ++i) SwitchToFiber(ScriptFiber);
  return static_cast<int>(sim::GetWorld().frame - before);
}

__declspec(dllexport) void StandInReleaseKey(unsigned key) {
  sim::ReleaseKey(key);
}

// Texts drawn by the last completed frame, one per line, into buffer.
__declspec(dllexport) int StandInLastFrameTexts(char* buffer, int capacity) {
  std::string all;
  for (const sim::DrawnText& t : sim::GetWorld().lastFrame.texts) all += t.text + "\n";
  if (capacity <= 0) return 0;
  std::strncpy(buffer, all.c_str(), static_cast<size_t>(capacity) - 1);
  buffer[capacity - 1] = '\0';
  return static_cast<int>(sim::GetWorld().lastFrame.texts.size());
}

// A country for a long run: ground and roads everywhere, travellers about,
// and every model the plugin asks for known and streaming over two frames.
__declspec(dllexport) void StandInBuildCountry() {
  sim::World& w = sim::GetWorld();
  w.ground = [](float, float, float& z) {
    z = 10.0f;
    return true;
  };
  for (int i = -30; i <= 30; ++i) w.roads.push_back({{static_cast<float>(i) * 10.0f, 60, 10}, 90});
  for (int i = 0; i < 6; ++i) {
    sim::AddEntity(sim::EntityKind::Ped, {20.0f + 7.0f * static_cast<float>(i), -15, 10});
  }
  sim::Handler inImage = sim::GetHandler("IsModelInImage");
  sim::SetHandler("IsModelInImage", [inImage](sim::Call& c, uint64_t* r) {
    sim::Model& m = sim::GetWorld().models[c.U32(0)];
    m.framesToStream = 2;
    inImage(c, r);
  });
}
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) StartWorld();
  return TRUE;
}

#include <windows.h>

#include <initializer_list>

#include "game/timing.h"
#include "platform/platform.h"

namespace sagebrook::platform {

uint32_t TickCount() {
  return GetTickCount();
}

LocalTime LocalTimeNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

size_t ExecutablePath(PathChar* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(capacity));
  // A full buffer means the path was cut; a cut path must not be used.
  if (n == 0 || n >= capacity) return 0;
  return n;
}

uint32_t ProfileInt(const PathChar* iniPath, const char* section, const char* key,
                    int32_t defaultValue) {
  wchar_t wideSection[64];
  wchar_t wideKey[64];
  if (MultiByteToWideChar(CP_ACP, 0, section, -1, wideSection, 64) == 0 ||
      MultiByteToWideChar(CP_ACP, 0, key, -1, wideKey, 64) == 0) {
    return static_cast<uint32_t>(defaultValue);
  }
  return GetPrivateProfileIntW(wideSection, wideKey, defaultValue, iniPath);
}

namespace {

struct GamepadState {
  DWORD packetNumber;
  WORD buttons;
  BYTE leftTrigger;
  BYTE rightTrigger;
  SHORT thumbLX;
  SHORT thumbLY;
  SHORT thumbRX;
  SHORT thumbRY;
};
using XInputGetStateFunction = DWORD(WINAPI*)(DWORD, GamepadState*);

// Loaded on first use from the script, never from the DLL entry; xinput1_4
// ships with current Windows, xinput9_1_0 with older ones.
XInputGetStateFunction LoadXInput() {
  static bool tried = false;
  static XInputGetStateFunction function = nullptr;
  if (tried) return function;
  tried = true;
  for (const wchar_t* name : {L"xinput1_4.dll", L"xinput9_1_0.dll"}) {
    HMODULE module = LoadLibraryW(name);
    if (module == nullptr) continue;
    FARPROC proc = GetProcAddress(module, "XInputGetState");
    if (proc != nullptr) {
      function = reinterpret_cast<XInputGetStateFunction>(reinterpret_cast<void*>(proc));
      break;
    }
  }
  return function;
}

// Reading an empty slot is slow (XInput looks for the device on every call),
// so after a failed read the slot rests this long.
constexpr uint32_t kAbsentPadRestMs = 2000;
bool PadAbsent = false;
uint32_t PadReadAgainAt = 0;

}  // namespace

uint16_t GamepadButtons() {
  XInputGetStateFunction getState = LoadXInput();
  if (getState == nullptr) return 0;
  const uint32_t now = GetTickCount();
  if (PadAbsent && TickAfter(PadReadAgainAt, now)) return 0;
  GamepadState state{};
  PadAbsent = getState(0, &state) != ERROR_SUCCESS;
  if (!PadAbsent) return state.buttons;
  PadReadAgainAt = now + kAbsentPadRestMs;
  return 0;
}

}  // namespace sagebrook::platform

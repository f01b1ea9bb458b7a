// A fake xinput1_4.dll: controller 0 plugged in or not with the buttons the
// wine host sets, every read counted.
#include <windows.h>

#include <cstring>

namespace {
bool Connected = false;
WORD Buttons = 0;
LONG Reads = 0;
}  // namespace

extern "C" {
// The state: a packet number, then the button word.
__declspec(dllexport) DWORD WINAPI XInputGetState(DWORD user, BYTE* state) {
  InterlockedIncrement(&Reads);
  if (user != 0 || !Connected) return ERROR_DEVICE_NOT_CONNECTED;
  std::memset(state, 0, 16);
  std::memcpy(state + 4, &Buttons, sizeof Buttons);
  return ERROR_SUCCESS;
}
__declspec(dllexport) void FakePadSet(int connected, unsigned buttons) {
  Connected = connected != 0, Buttons = static_cast<WORD>(buttons);
}
__declspec(dllexport) LONG FakePadReads() {
  return Reads;
}
}

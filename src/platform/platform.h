#pragma once
// The few operating-system facts the plugin needs. The Windows build asks
// Windows; host builds get them from the simulated game.
#include <cstddef>
#include <cstdint>

namespace sagebrook::platform {

#ifdef _WIN32
using PathChar = wchar_t;  // wide, so folders outside the ANSI code page work
#else
using PathChar = char;
#endif

struct LocalTime {
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;
};

uint32_t TickCount();
LocalTime LocalTimeNow();
// Full path of the process's executable, NUL-terminated. Returns its length,
// or 0 when it could not be read or did not fit.
size_t ExecutablePath(PathChar* buffer, size_t capacity);
// The profile reader's integer: the default when the file, section or key is
// missing, otherwise the value read as a decimal number.
uint32_t ProfileInt(const PathChar* iniPath, const char* section, const char* key,
                    int32_t defaultValue);
// Button word of controller 0; 0 when there is none. An absent controller
// is looked for again only every 2 s, as looking is slow.
uint16_t GamepadButtons();

}  // namespace sagebrook::platform

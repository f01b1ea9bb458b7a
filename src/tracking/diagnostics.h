#pragma once
// A once-a-second log of the wagon and the hunters' dogs for a while after
// their events, to tell the game's doing from the plugin's.
#include <cstdint>

namespace sagebrook {

struct DiagWindowRecord {
  uint32_t diagUntil = 0;   // last tick of the window
  uint32_t diagNextAt = 0;  // earliest tick of the next dump; 0: at once
  int32_t diagWagon = 0;
  int32_t diagDriver = 0;
};
extern DiagWindowRecord DiagWindow;

inline constexpr uint32_t kDiagWindowMs = 12000;
inline constexpr uint32_t kDiagIntervalMs = 1000;

// Opens the window from now on, with the first dump due at once.
void OpenDiagWindow();

// Writes the wagon's and the dogs' state while logging is on and the window
// is open, at most once a second.
void DumpDiagnostics(int32_t playerPed);

}  // namespace sagebrook

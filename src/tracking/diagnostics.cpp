#include "tracking/diagnostics.h"

#include "diag/log.h"
#include "game/natives.h"
#include "game/timing.h"
#include "platform/platform.h"
#include "tracking/registry.h"
#include "ui/settings.h"

namespace sagebrook {

DiagWindowRecord DiagWindow;

void OpenDiagWindow() {
  DiagWindow.diagUntil = platform::TickCount() + kDiagWindowMs;
  DiagWindow.diagNextAt = 0;
}

namespace {

// From the event's start to diagUntil. Measured back from diagUntil, so a
// window long past stays shut instead of reopening when the tick wraps.
bool WindowOpen(const DiagWindowRecord& w, uint32_t now) {
  if (TickAfter(now, w.diagUntil) || TickAfter(w.diagUntil - kDiagWindowMs, now)) return false;
  return w.diagNextAt == 0 || !TickAfter(w.diagNextAt, now);
}

void DumpWagon(const DiagWindowRecord& w) {
  if (w.diagWagon == 0 || !EntityExists(w.diagWagon)) return;
  const float speed = GetEntitySpeed(w.diagWagon);
  const bool driverInSeat =
      w.diagDriver != 0 && EntityExists(w.diagDriver) && IsPedInVehicle(w.diagDriver, w.diagWagon);
  int32_t expected = 0;
  int32_t actual = 0;
  GetDraftAnimalCounts(w.diagWagon, &expected, &actual);
  LogFormat("DIAG wagon: speed=%.2f driverInSeat=%d draftActual=%d", static_cast<double>(speed),
            driverInSeat ? 1 : 0, actual);
}

void DumpDogs(int32_t playerPed) {
  for (size_t i = 0; i < HunterDogs.size(); ++i) {
    const int32_t dog = HunterDogs[i];
    if (!EntityExists(dog)) continue;
    const ScriptVector p = GetEntityCoords(playerPed);
    const ScriptVector d = GetEntityCoords(dog);
    const float dist = GetDistanceBetweenCoords(p.x, p.y, p.z, d.x, d.y, d.z);
    const int32_t dead = IsEntityDead(dog);
    const int32_t fleeing = IsPedFleeing(dog);
    const int32_t inCombat = IsPedInCombatWith(dog, playerPed);
    LogFormat("DIAG dog[%d]: inCombat=%d fleeing=%d dead=%d dist=%.1f", static_cast<int>(i),
              inCombat, fleeing, dead, static_cast<double>(dist));
  }
}

}  // namespace

void DumpDiagnostics(int32_t playerPed) {
  if (Settings.logging == 0) return;
  const uint32_t now = platform::TickCount();
  if (!WindowOpen(DiagWindow, now)) return;
  DiagWindow.diagNextAt = now + kDiagIntervalMs;
  DumpWagon(DiagWindow);
  DumpDogs(playerPed);
}

}  // namespace sagebrook

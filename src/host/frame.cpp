#include "host/frame.h"

#include "diag/log.h"
#include "events/dispatcher.h"
#include "host/natives.h"
#include "host/plugin.h"
#include "host/random.h"
#include "host/timing.h"
#include "platform/platform.h"
#include "tracking/registry.h"
#include "ui/menu.h"
#include "ui/screen_text.h"
#include "ui/settings.h"

namespace sagebrook {

AmbientScheduleRecord AmbientSchedule;

uint32_t FrequencyBaseInterval(int32_t frequency) {
  if (frequency <= 0) return 180000;
  if (frequency == 1) return 110000;
  return 55000;
}

namespace {

void RunAmbientScheduler(int32_t player, int32_t playerPed) {
  AmbientScheduleRecord& a = AmbientSchedule;
  if (Settings.ambientEvents == 0 || !TickAfter(platform::TickCount(), a.nextAmbientAt)) return;
  // Without control the event stays due and is tried again next frame.
  if (!IsPlayerInControl(player)) return;
  if (SpawnedPeds.size() < kAmbientPedLimit) DispatchRandomEvent(playerPed);
  uint32_t base = FrequencyBaseInterval(Settings.frequency);
  uint32_t spread = static_cast<uint32_t>(rand()) % kAmbientSpreadMs;
  a.nextAmbientAt = platform::TickCount() + spread + base;
}

void RunPeriodicUpkeep(int32_t playerPed) {
  AmbientScheduleRecord& a = AmbientSchedule;
  if (a.nextUpkeepAt != 0 && !TickAfter(platform::TickCount(), a.nextUpkeepAt)) return;
  PeriodicUpkeep(playerPed);
  a.nextUpkeepAt = platform::TickCount() + kUpkeepIntervalMs;
}

}  // namespace

void FrameUpdate() {
  const int32_t player = GetPlayerIndex();
  const int32_t playerPed = GetPlayerPed();
  if (!EntityExists(playerPed)) return;

  AmbientScheduleRecord& a = AmbientSchedule;
  if (!a.firstEventArmed) {
    if (!IsPlayerInControl(player)) return;
    a.nextAmbientAt = platform::TickCount() + kFirstEventDelayMs;
    a.firstEventArmed = true;
    LogFormat("In control - first event in ~%lus",
              static_cast<unsigned long>(kFirstEventDelayMs / 1000));
  }

  const uint16_t buttons = UpdateMenuInput(playerPed);
  MenuState.previousButtons = buttons;
  RunAmbientScheduler(player, playerPed);
  BlipUpkeep();
  RunPeriodicUpkeep(playerPed);
  if (MenuState.menuOpen) DrawMenu();
  DrawNotification();
}

}  // namespace sagebrook

#include "diag/log.h"
#include "events/ambient.h"
#include "events/hanging.h"
#include "events/wagon.h"
#include "game/natives.h"
#include "game/timing.h"
#include "game/wait.h"
#include "host/plugin.h"
#include "menu/menu.h"
#include "platform/platform.h"
#include "tracking/diagnostics.h"
#include "tracking/registry.h"
#include "tracking/strangers.h"
#include "ui/screen_text.h"
#include "ui/settings.h"

namespace sagebrook {

namespace {

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

  // Menu input, the hanging and the scheduler may start an event or load a
  // model, and so let the game run; a player's ped that vanished meanwhile
  // ends the frame as if it had been missing from the start.
  uint32_t waits = GameWaits;
  const uint16_t buttons = UpdateMenuInput(playerPed);
  UpdatePublicHanging();
  HangingPlayerCalls(player);
  KeepFreedVictimHappy();
  MenuState.previousButtons = buttons;
  if (GameWaits != waits && !EntityExists(playerPed)) return;
  waits = GameWaits;
  RunAmbientScheduler(player, playerPed);
  if (GameWaits != waits && !EntityExists(playerPed)) return;
  BlipUpkeep();
  UpdateStrangers(playerPed);
  DumpDiagnostics(playerPed);
  WagonKickstart();
  RunPeriodicUpkeep(playerPed);
  if (MenuState.menuOpen) DrawMenu();
  DrawNotification();
}

}  // namespace sagebrook

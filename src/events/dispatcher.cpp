#include "events/dispatcher.h"

#include "events/bounty_hunters.h"
#include "events/drunks.h"
#include "events/hanging.h"
#include "events/predator.h"
#include "events/wagon.h"
#include "game/natives.h"
#include "game/random.h"
#include "ui/screen_text.h"
#include "ui/settings.h"

namespace sagebrook {

EventStart EventStarts[5] = {StartPredatorAttack, StartRunawayWagon, StartPublicHanging,
                             StartDrunkenFolk, StartBountyHunters};

namespace {

// 19:00 to 05:59 of the game clock. Unsigned all through, so no hour the
// game answers can overflow the subtraction.
bool IsNight(int32_t hour) {
  return static_cast<uint32_t>(hour) - 6u > 12u;
}

}  // namespace

void DispatchRandomEvent(int32_t playerPed) {
  EventKind candidates[5];
  int32_t count = 0;
  auto offer = [&](int32_t setting, EventKind kind) {
    if (setting != 0) candidates[count++] = kind;
  };
  offer(Settings.predatorAttack, EventKind::PredatorAttack);
  offer(Settings.runawayWagon, EventKind::RunawayWagon);
  offer(Settings.publicHanging, EventKind::PublicHanging);
  // The clock is read only when the setting lets the kind in at all.
  if (Settings.drunkenFolk != 0 && IsNight(GetClockHour())) {
    candidates[count++] = EventKind::DrunkenFolk;
  }
  offer(Settings.bountyHunters, EventKind::BountyHunters);

  if (count == 0) {
    ShowNotification("No event types are enabled");
    return;
  }
  EventKind kind = candidates[rand() % count];
  EventStart start = EventStarts[static_cast<int32_t>(kind) - 1];
  if (start != nullptr) start(playerPed);
}

}  // namespace sagebrook

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

// 19:00 to 05:59 of the game clock; an hour the clock cannot show is not night.
bool IsNight(int32_t hour) {
  return (hour >= 19 && hour <= 23) || (hour >= 0 && hour <= 5);
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

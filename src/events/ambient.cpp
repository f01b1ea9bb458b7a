#include "events/ambient.h"

#include "events/dispatcher.h"
#include "game/natives.h"
#include "game/random.h"
#include "game/timing.h"
#include "platform/platform.h"
#include "tracking/registry.h"
#include "ui/settings.h"

namespace sagebrook {

AmbientScheduleRecord AmbientSchedule;

uint32_t FrequencyBaseInterval(int32_t frequency) {
  if (frequency <= 0) return 180000;
  if (frequency == 1) return 110000;
  return 55000;
}

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

}  // namespace sagebrook

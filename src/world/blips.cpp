#include "world/blips.h"

#include "game/natives.h"
#include "game/random.h"
#include "platform/platform.h"
#include "tracking/registry.h"
#include "ui/settings.h"

namespace sagebrook {

void AddEventBlip(int32_t entity, bool enemy, bool keep) {
  if (Settings.eventBlips == 0 || entity == 0) return;
  const uint32_t style = HashName(enemy ? "BLIP_STYLE_ENEMY" : "BLIP_STYLE_RANDOM_EVENT_PULSE");
  const int32_t blip = AddBlipForEntity(style, entity);
  if (blip == 0) return;
  SetBlipScale(blip);
  uint32_t expiry = 0;
  if (!enemy && !keep) {
    const float offset = 5000.0f + 5.0f * static_cast<float>(rand() % 1000);
    expiry = platform::TickCount() + static_cast<uint32_t>(offset);
    // 0 would mean "no expiry"; a deadline that wraps onto it moves 1 ms on.
    if (expiry == 0) expiry = 1;
  }
  EventBlips.push_back({blip, expiry, entity});
}

}  // namespace sagebrook

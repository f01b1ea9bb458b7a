#pragma once
#include <cstddef>
#include <cstdint>

namespace sagebrook {

struct AmbientScheduleRecord {
  bool firstEventArmed = false;
  uint32_t nextAmbientAt = 0;
  uint32_t nextUpkeepAt = 0;  // 0: never run, so due at once
};
extern AmbientScheduleRecord AmbientSchedule;

inline constexpr uint32_t kFirstEventDelayMs = 60000;
inline constexpr uint32_t kAmbientOnDelayMs = 5000;
inline constexpr uint32_t kUpkeepIntervalMs = 2500;
inline constexpr uint32_t kAmbientSpreadMs = 20000;
inline constexpr size_t kAmbientPedLimit = 30;

// Base gap between ambient events for a frequency setting, clamped to 0..2.
uint32_t FrequencyBaseInterval(int32_t frequency);

// The frame's ambient step: fires the dispatcher when the timer is due and
// the player is in control, then schedules the next one.
void RunAmbientScheduler(int32_t player, int32_t playerPed);

}  // namespace sagebrook

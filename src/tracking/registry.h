#pragma once
// Everything the plugin puts into the world, so it can be handed back to the
// game or deleted on request.
#include <algorithm>
#include <cstdint>
#include <vector>

namespace sagebrook {

struct BlipRecord {
  int32_t blip = 0;
  uint32_t expiry = 0;  // 0: lasts as long as the entity
  int32_t entity = 0;
};
static_assert(sizeof(BlipRecord) == 12);

extern std::vector<int32_t> SpawnedPeds;
extern std::vector<int32_t> SpawnedVehicles;
extern std::vector<BlipRecord> EventBlips;
extern std::vector<int32_t> HunterDogs;
extern std::vector<int32_t> RigObjects;
extern std::vector<int32_t> RigRopes;
extern std::vector<int32_t> PendingStrangers;

inline constexpr float kReleaseDistance = 250.0f;

// Walks the list from the front, asking done(entry) once per entry, and
// removes the entries it answers true for; the others keep their order.
template <class T, class Done>
void RemoveWhere(std::vector<T>& list, Done done) {
  size_t kept = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    if (!done(list[i])) list[kept++] = list[i];
  }
  list.resize(kept);
}

template <class T>
void RemoveEvery(std::vector<T>& list, const T& value) {
  RemoveWhere(list, [&](const T& entry) { return entry == value; });
}

template <class T>
void RemoveFirst(std::vector<T>& list, const T& value) {
  auto it = std::find(list.begin(), list.end(), value);
  if (it != list.end()) list.erase(it);
}

// Removes a record's blip if it still exists; always true, so it can end a
// RemoveWhere predicate. The record itself is erased by the caller.
bool RemoveBlipOf(BlipRecord& record);

void BlipUpkeep();
void PeriodicUpkeep(int32_t playerPed);
void RemoveEventBlips(int32_t entity);

}  // namespace sagebrook

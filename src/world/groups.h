#pragma once
#include <cstdint>

namespace sagebrook {

// The game's player group and the plugin's seven groups; 0 until created.
struct RelationshipGroupsRecord {
  uint32_t player = 0;
  uint32_t bandit = 0;
  uint32_t predator = 0;
  uint32_t victim = 0;
  uint32_t executioner = 0;
  uint32_t hound = 0;
  uint32_t brawlA = 0;
  uint32_t brawlB = 0;
  bool created = false;  // never cleared, not even by ClearSpawned
};
extern RelationshipGroupsRecord RelationshipGroups;

inline constexpr int32_t kRelationAllied = 0;
inline constexpr int32_t kRelationHostile = 5;

// Creates the groups and their fixed relations on the first call only.
void EnsureRelationshipGroups();

}  // namespace sagebrook

#pragma once
#include <cstdint>
#include <vector>

namespace sagebrook {

struct SettingsRecord {
  int32_t ambientEvents = 1;
  int32_t frequency = 1;      // 0 Rare, 1 Normal, 2 Often
  int32_t spawnDistance = 3;  // 0 Close, 1 Medium, 2 Far, 3 Random
  int32_t eventBlips = 1;
  int32_t predatorAttack = 1;
  int32_t runawayWagon = 1;
  int32_t publicHanging = 1;
  int32_t drunkenFolk = 1;
  int32_t bountyHunters = 1;
  int32_t logging = 0;
};
extern SettingsRecord Settings;

// A choice row has a value and options; an action row has neither.
struct MenuItem {
  const char* label = "";
  int32_t* value = nullptr;
  const char* help = "";
  std::vector<const char*> options;
};
extern std::vector<MenuItem> MenuItems;

struct MenuStateRecord {
  bool menuOpen = false;
  int32_t selectedIndex = 0;
  uint16_t previousButtons = 0;
};
extern MenuStateRecord MenuState;

inline constexpr int32_t kTriggerEventRow = 0;
inline constexpr int32_t kAmbientEventsRow = 1;
inline constexpr int32_t kClearSpawnedRow = 11;

void BuildMenu();

}  // namespace sagebrook

#include "menu_player.h"

#include <algorithm>
#include <array>
#include <random>
#include <utility>

#include "diag/key_bindings.h"
#include "menu/menu.h"
#include "scenario.h"
#include "sim.h"
#include "tracking/registry.h"
#include "ui/settings.h"
#include "world/spawning.h"

namespace simcli {

namespace {

// A crowd goes on until the registry has been full for a while, or for long.
constexpr uint64_t kCrowdMs = 90000;
constexpr uint64_t kFullForMs = 1000;

struct MenuPlayer {
  std::mt19937 random;
  uint64_t frameMs = 16;
  uint64_t playedMs = 0;
  bool padDown = false;
  uint32_t firstCrowdAfterMs = 0;
  int32_t row = -1;  // the row to act on with key, then close the menu if asked
  uint32_t key = 0;
  bool closes = false;
  uint64_t crowdUntil = 0;  // while a crowd lasts; 0: none
  bool crowdEndsInClear = false;
  bool crowded = false;
  bool last = false;  // the last Clear Spawned is asked for
  std::vector<std::pair<const char*, std::string>> did;
};
MenuPlayer Player;

size_t Below(size_t n) {
  return Player.random() % n;
}
// True on average ratePerMinute times a minute of play.
bool Chance(double ratePerMinute) {
  return std::uniform_real_distribution<double>(0, 1)(Player.random) <
         ratePerMinute * static_cast<double>(Player.frameMs) / 60000.0;
}

void ChooseAim() {
  MenuPlayer& p = Player;
  const sagebrook::KeyBindingsRecord& k = sagebrook::KeyBindings;
  // A crowd: events fired one after another until the registry has been full
  // for a while; some end in "Clear Spawned" with everything still close.
  if (p.crowdUntil == 0 && (Chance(0.05) || (!p.crowded && p.playedMs > p.firstCrowdAfterMs))) {
    p.crowdEndsInClear = !p.crowded || Below(2) == 0;
    p.did.push_back({"player", p.crowdEndsInClear
                                   ? "fires events until the registry is full, then clears"
                                   : "fires events until the registry is full"});
    p.crowded = true;
    p.crowdUntil = p.playedMs + kCrowdMs;
    // He stops where he is, so what the crowd spawns stays near.
    if (const sim::Entity* me = sim::FindEntity(sim::GetWorld().playerPed))
      RideOverTo(me->position);
  }
  p.key = k.selectKey;
  if (p.crowdUntil != 0) {
    if (sagebrook::SpawnedPeds.size() >= sagebrook::kSpawnedPedLimit) {
      p.crowdUntil = std::min(p.crowdUntil, p.playedMs + kFullForMs);
    }
    const bool over = p.playedMs >= p.crowdUntil;
    p.row = over && p.crowdEndsInClear ? sagebrook::kClearSpawnedRow : sagebrook::kTriggerEventRow;
    p.closes = over;
    if (over) p.crowdUntil = 0;
  } else if (Chance(6)) {
    p.row = sagebrook::kTriggerEventRow;
    p.closes = Below(3) != 0;
  } else if (Chance(0.12)) {
    p.row = sagebrook::kClearSpawnedRow;
    p.closes = true;
  } else if (Chance(1)) {
    // A setting changes; those left off are switched back on more often.
    p.row = 1 + static_cast<int32_t>(Below(10));
    for (int32_t r = 1; r <= 9; ++r) {
      if (*sagebrook::MenuItems[static_cast<size_t>(r)].value == 0 && Below(2)) p.row = r;
    }
    p.key = std::array{k.leftKey, k.rightKey, k.selectKey}[Below(3)];
    p.closes = Below(2) == 0;
  }
}

}  // namespace

void BeginMenuPlayer(uint32_t seed, uint32_t firstCrowdAfterMs) {
  Player = MenuPlayer{};
  Player.random.seed(seed);
  Player.firstCrowdAfterMs = firstCrowdAfterMs;
}

std::vector<std::pair<const char*, std::string>> MenuPlayerStep(uint64_t playedMs) {
  using namespace sagebrook;
  MenuPlayer& p = Player;
  sim::World& w = sim::GetWorld();
  const KeyBindingsRecord& k = KeyBindings;
  p.frameMs = playedMs - p.playedMs;
  p.playedMs = playedMs;
  p.did.clear();
  // Buttons are held for one step.
  if (std::exchange(p.padDown, false)) w.gamepadButtons = 0;
  const bool pad = Below(3) == 0 && MenuState.previousButtons == 0;
  auto press = [&](uint32_t key, uint16_t buttons) {
    if (pad && buttons != 0) {
      w.gamepadButtons = buttons;
      p.padDown = true;
    } else {
      sim::ReleaseKey(key);
    }
  };
  const int32_t n = static_cast<int32_t>(MenuItems.size());
  if (p.row < 0) {
    if (!p.last) ChooseAim();
  } else if (p.key == 0) {
    press(k.backKey, kPadB);
    p.row = -1;
  } else if (!MenuState.menuOpen) {
    press(k.menuKey, kPadRB | kPadX);
  } else if (MenuState.selectedIndex != p.row) {
    const bool down = (p.row - MenuState.selectedIndex + n) % n <= n / 2;
    press(down ? k.downKey : k.upKey, down ? kPadDown : kPadUp);
  } else {
    if (p.row == kClearSpawnedRow && !p.last) {
      p.did.push_back({"fault", "registry entries vanish just before Clear Spawned"});
      for (const std::vector<int32_t>* list : {&SpawnedPeds, &SpawnedVehicles, &RigObjects}) {
        if (!list->empty()) sim::RemoveEntity((*list)[Below(list->size())]);
      }
      auto vanish = [](auto& map, int32_t h) {
        if (auto it = map.find(h); it != map.end()) it->second.exists = false;
      };
      if (!RigRopes.empty()) vanish(w.ropes, RigRopes[Below(RigRopes.size())]);
      if (!EventBlips.empty()) vanish(w.blips, EventBlips[Below(EventBlips.size())].blip);
    }
    press(p.key, p.key == k.selectKey ? kPadA : 0);
    // A crowd's presses go under its first line.
    if (p.crowdUntil == 0) {
      p.did.push_back(
          {"player", std::string("menu: ") + MenuItems[static_cast<size_t>(p.row)].label});
    }
    p.key = 0;
    if (!p.closes) p.row = -1;
  }
  return p.did;
}

void LastClearSpawned() {
  Player.last = true;
  Player.row = sagebrook::kClearSpawnedRow;
  Player.key = sagebrook::KeyBindings.selectKey;
  Player.closes = true;
}

bool MenuPlayerResting() {
  return Player.last && Player.row < 0;
}

}  // namespace simcli

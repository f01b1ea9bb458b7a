// Cost of one frame update in its common states, with natives per frame.
// The simulated game answers the natives, so times include its share.
#include <benchmark/benchmark.h>

#include "events/ambient.h"
#include "game/hook.h"
#include "host/plugin.h"
#include "sim.h"
#include "tracking/registry.h"
#include "ui/screen_text.h"
#include "ui/settings.h"

namespace {

using namespace sagebrook;

// A fresh game with the player in control, the plugin started and past its
// first frames.
void StartSession(int trackedPeds, bool menuOpen, bool notification) {
  sim::Reset();
  sim::World& w = sim::GetWorld();
  w.tracing = false;
  w.playerPed = sim::AddEntity(sim::EntityKind::Ped, {0, 0, 10});
  Settings = SettingsRecord{};
  MenuState = MenuStateRecord{};
  AmbientSchedule = AmbientScheduleRecord{};
  Settings.ambientEvents = 0;  // no event fires while measuring
  SpawnedPeds.clear();
  EventBlips.clear();
  BuildMenu();
  for (int i = 0; i < trackedPeds; ++i) {
    int32_t ped = sim::AddEntity(sim::EntityKind::Ped, {static_cast<float>(i), 20, 10});
    SpawnedPeds.push_back(ped);
    EventBlips.push_back({sim::AddBlip(ped, 1), 0, ped});
  }
  for (int i = 0; i < 3; ++i) {
    FrameUpdate();
    hook::scriptWait(0);
  }
  MenuState.menuOpen = menuOpen;
  if (notification) ShowNotification("Bounty hunters and their dogs are on your trail!");
}

void RunFrames(benchmark::State& state) {
  sim::World& w = sim::GetWorld();
  uint64_t callsBefore = w.nativeCalls;
  for (auto _ : state) {
    FrameUpdate();
    hook::scriptWait(0);
    // Keep the notification on screen for the whole run.
    if (Notification.text[0] != '\0') Notification.expiresAt = w.tick + 3500;
  }
  state.counters["natives/frame"] = benchmark::Counter(
      static_cast<double>(w.nativeCalls - callsBefore) / static_cast<double>(state.iterations()));
}

void BM_IdleFrame(benchmark::State& state) {
  StartSession(0, false, false);
  RunFrames(state);
}
BENCHMARK(BM_IdleFrame);

void BM_FrameWith30TrackedPeds(benchmark::State& state) {
  StartSession(30, false, false);
  RunFrames(state);
}
BENCHMARK(BM_FrameWith30TrackedPeds);

void BM_FrameMenuOpenWithNotification(benchmark::State& state) {
  StartSession(0, true, true);
  RunFrames(state);
}
BENCHMARK(BM_FrameMenuOpenWithNotification);

}  // namespace

BENCHMARK_MAIN();

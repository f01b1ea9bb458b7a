// Cost of one frame update in its common states, with natives per frame.
// The simulated game answers the natives, so times include its share.
#include <benchmark/benchmark.h>

#include <functional>

#include "events/ambient.h"
#include "events/hanging.h"
#include "game/hook.h"
#include "host/plugin.h"
#include "sim.h"
#include "tracking/registry.h"
#include "ui/screen_text.h"
#include "ui/settings.h"
#include "world/spawning.h"

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

// keepUp runs after each frame to hold the state being measured.
void RunFrames(benchmark::State& state, const std::function<void()>& keepUp = {}) {
  sim::World& w = sim::GetWorld();
  uint64_t callsBefore = w.nativeCalls;
  for (auto _ : state) {
    FrameUpdate();
    hook::scriptWait(0);
    // Keep the notification on screen for the whole run.
    if (Notification.text[0] != '\0') Notification.expiresAt = w.tick + 3500;
    if (keepUp) keepUp();
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

// The most a frame does: 60 tracked peds with blips, a victim on the rope,
// strangers waiting for the player, the menu open and a notification.
void BM_BusiestFrame(benchmark::State& state) {
  StartSession(0, false, false);
  sim::World& w = sim::GetWorld();
  w.ground = [](float, float, float& z) {
    z = 10.0f;
    return true;
  };
  w.overheads = {{0.0f, 0.0f, 1000.0f, 14.0f}};
  for (const char* model : TownsfolkModels) sim::AddModel(model);
  for (const char* model : CriminalModels) sim::AddModel(model);
  for (const char* prop : {"p_shotglass01x", "p_noose02x"}) sim::AddModel(prop, 0, false);
  StartPublicHanging(w.playerPed);
  while (ExecutionState.active && !ExecutionState.hung) {
    FrameUpdate();
    hook::scriptWait(0);
  }
  if (!ExecutionState.hung) {
    state.SkipWithError("the hanging was not rigged");
    return;
  }
  for (int32_t ped : SpawnedPeds) {
    if (ped != ExecutionState.victim) EventBlips.push_back({sim::AddBlip(ped, 1), 0, ped});
  }
  for (int i = 0; SpawnedPeds.size() < 60; ++i) {
    int32_t ped = sim::AddEntity(sim::EntityKind::Ped, {static_cast<float>(i), 30, 10});
    SpawnedPeds.push_back(ped);
    EventBlips.push_back({sim::AddBlip(ped, 1), 0, ped});
    if (i < 10) PendingStrangers.push_back(ped);  // beyond 18 m, so they stay pending
  }
  MenuState.menuOpen = true;
  ShowNotification("Outlaws are stringing someone up...");
  RunFrames(state, [&w] {
    ExecutionState.phaseDeadline = w.tick + kHangingLimitMs;
    sim::FindEntity(ExecutionState.victim)->health = 1000000;
  });
  if (!ExecutionState.hung || !ExecutionState.active) state.SkipWithError("the hanging ended");
}
BENCHMARK(BM_BusiestFrame);

}  // namespace

BENCHMARK_MAIN();

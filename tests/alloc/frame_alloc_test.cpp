// Steady-state frames must not touch the heap. Global operator new is replaced
// in this binary alone, counting what the plugin allocates outside the simulator.
#include <atomic>
#include <cstdlib>
#include <new>

#include "events/hanging.h"
#include "fixture.h"
#include "menu/menu.h"
#include "world/spawning.h"

namespace {
std::atomic<bool> Counting{false};
std::atomic<long> PluginAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
  if (Counting.load(std::memory_order_relaxed) && !sim::InSimulator()) ++PluginAllocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace sagebrook::testing {
namespace {

class FrameAllocations : public PluginTest {
 protected:
  long AllocationsOver(int frames) {
    PluginAllocations = 0;
    Counting = true;
    RunFrames(frames);
    Counting = false;
    return PluginAllocations.load();
  }
};

TEST_F(FrameAllocations, SteadyFramesAllocateNothingWithMenuClosedOrOpen) {
  world().tracing = false;
  for (int i = 0; i < 20; ++i) {
    int32_t ped = sim::AddEntity(sim::EntityKind::Ped, {static_cast<float>(i * 5), 0, 0});
    SpawnedPeds.push_back(ped);
    EventBlips.push_back({sim::AddBlip(ped, 1), 0, ped});
    if (i >= 4) PendingStrangers.push_back(ped);  // beyond 18 m: pending for good
  }
  SpawnedVehicles.push_back(sim::AddEntity(sim::EntityKind::Vehicle, {10, 0, 0}));
  RunFrames(5);  // past the first-control gate and the first upkeep
  ShowNotification("A predator is stalking you!");
  EXPECT_EQ(AllocationsOver(400), 0) << "menu closed, upkeep passes included";

  PressKey(KeyBindings.menuKey);
  RunFrame();
  ASSERT_TRUE(MenuState.menuOpen);
  PressKey(KeyBindings.downKey);
  EXPECT_EQ(AllocationsOver(400), 0) << "menu open, drawing every row";
}

TEST_F(FrameAllocations, AHangingAllocatesNothingInItsLeadInNorOnTheRope) {
  world().tracing = false;
  Ground(2.0f);
  world().overheads = {{0.0f, 0.0f, 1000.0f, 6.0f}};
  for (const char* model : TownsfolkModels) sim::AddModel(model);
  for (const char* model : CriminalModels) sim::AddModel(model);
  for (const char* prop : {"p_shotglass01x", "p_noose02x"}) sim::AddModel(prop, 0, false);
  Settings.ambientEvents = 0;
  StartPublicHanging(world().playerPed);
  ASSERT_TRUE(ExecutionState.active);
  EXPECT_EQ(AllocationsOver(300), 0) << "lead-in";
  RunFor(1500);  // the rig records its props
  ASSERT_TRUE(ExecutionState.hung);
  sim::FindEntity(ExecutionState.victim)->health = 100000;
  EXPECT_EQ(AllocationsOver(400), 0) << "hanging";
}

}  // namespace
}  // namespace sagebrook::testing

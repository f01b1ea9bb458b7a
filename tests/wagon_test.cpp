// The runaway wagon: model, road, team, riders, watchdog and diagnostics.
#include <cmath>
#include <map>
#include <set>

#include "events/bounty_hunters.h"
#include "events/wagon.h"
#include "fixture.h"
#include "game/timing.h"
#include "handlers.h"
#include "world/spawning.h"

namespace sagebrook::testing {
namespace {

class WagonTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    for (const char* name : WagonModels) sim::AddModel(name, 0, false);
    Team(2, 100);
    for (const char* name : TownsfolkModels) sim::AddModel(name);
    Ground(1.0f);
    Settings.logging = 1;
    Settings.spawnDistance = 0;  // 40 to 59.98 m
    // Every other node 3 m off the line: none lies exactly 250 m ahead of another.
    float x = 50.0f;
    for (float y = -400.0f; y <= 400.0f; y += 10.0f, x = 103.0f - x)
      world().roads.push_back({{x, y, 2.0f}, 0.0f});
  }
  // Harnessed after ms, -1 never.
  void Team(int32_t animals, int32_t harnessAfterMs) {
    for (const char* name : WagonModels) {
      sim::Model& m = world().models[sim::HashName(name)];
      m.draftAnimals = animals;
      m.harnessAfterMs = harnessAfterMs;
    }
  }
  int32_t player() { return world().playerPed; }
};

TEST_F(WagonTest, ModelRoadAndRidersAreFoundAsTheGameAllowsOrTheirAbsenceReported) {
  world().roads.clear();  // each run ends after the pick
  for (int i : {1, 3, 4, 6}) world().models.erase(sim::HashName(WagonModels[i]));
  world().models[sim::HashName(WagonModels[1])].inImage = false;
  world().models[sim::HashName(WagonModels[3])].valid = false;
  for (int i = 0; i < 300; ++i) StartRunawayWagon(player());
  std::map<uint32_t, int> picks;
  for (const sim::Call& c : world().trace) picks[c.U32(0)] += c.Name() == "RequestModel";
  for (int i : {0, 2, 5, 7}) EXPECT_NEAR(picks[sim::HashName(WagonModels[i])], 75, 29) << i;
  EXPECT_EQ(Logged("] EVENT Wagon: no road node near the player - skipped"), 300u);
  EXPECT_EQ(sim::CountCalls("ReleaseModel"), 300u);

  // Eight probes in turn from a random direction; a node 60 m off is no road.
  float offset = 60.0f;
  std::vector<int> directions;
  sim::SetHandler("GetClosestRoadNodeWithHeading", [&](sim::Call& c, uint64_t* r) {
    const float away = std::hypot(c.Float(0), c.Float(1));
    if (away > 100.0f) return;  // no road where the wagon is sent
    EXPECT_TRUE(away >= 39.99f && away <= 60.0f && c.Float(2) == 10.0f) << away;
    const double angle = std::atan2(c.Float(1), c.Float(0)) / 0.7853982;
    directions.push_back(static_cast<int>(std::lround(angle + 8.0)) % 8);
    sim::WriteVector(c, 3, {c.Float(0), c.Float(1), c.Float(2) + offset});
    *c.Pointer<float>(4) = 30.0f;
    sim::SetInt(r, 1);
  });
  std::set<int> starts;
  for (int run = 0; run < 12; ++run) {
    directions.clear();
    StartRunawayWagon(player());
    ASSERT_EQ(directions.size(), 8u);
    for (size_t i = 1; i < 8; ++i) EXPECT_EQ(directions[i], (directions[i - 1] + 1) % 8);
    starts.insert(directions[0]);
  }
  EXPECT_GE(starts.size(), 5u);
  EXPECT_STREQ(Notification.text, "No road nearby for a runaway wagon");
  offset = 59.9f;
  do {  // until a wagon carries a passenger, as two in five do
    SpawnedPeds.clear();
    StartRunawayWagon(player());
    const sim::Entity& w = Entity(SpawnedVehicles.back());
    const sim::Vec3 to = Entity(WagonWatch.driver).driveTasks.at(0).destination;
    EXPECT_TRUE(std::fabs(to.x - w.position.x + 125.0f) < 0.01f &&
                std::fabs(to.y - w.position.y - 216.506f) < 0.01f && w.heading == 30.0f);
  } while (SpawnedPeds.size() < 2 && SpawnedVehicles.size() < 40);
  ASSERT_EQ(SpawnedPeds.size(), 2u);
  const sim::Entity& p = Entity(SpawnedPeds[1]);
  EXPECT_TRUE(Entity(SpawnedVehicles.back()).seats.at(0) == SpawnedPeds[1] &&
              p.settings.count("ignoresEvents") && p.claimed && p.driveTasks.empty());

  sim::SetHandler("CreateVehicle", [](sim::Call&, uint64_t*) {});
  StartRunawayWagon(player());
  EXPECT_STREQ(Notification.text, "Runaway wagon failed to spawn");
  for (int i : {0, 2, 5}) world().models.erase(sim::HashName(WagonModels[i]));
  world().models[sim::HashName(WagonModels[7])] = sim::Model{.framesToStream = -1};
  StartRunawayWagon(player());
  EXPECT_STREQ(Notification.text, "Runaway wagon: no wagon model available");
}

TEST_F(WagonTest, WagonSetsOffAlongTheRoadWithItsDriverTeamAndBlip) {
  Team(6, 420);
  StartRunawayWagon(player());
  const int32_t wagon = SpawnedVehicles.at(0), driver = WagonWatch.driver;
  const sim::Entity& w = Entity(wagon);
  const sim::RoadNode* ahead = sim::NearestRoadNode({w.position.x, w.position.y + 250.0f, 2.0f});
  const sim::Entity& d = Entity(driver);
  EXPECT_TRUE(w.seats.at(-1) == driver && d.claimed && d.settings.count("fleeAttributes") &&
              d.settings.count("ignoresEvents") && d.settings.count("keepTask"));
  const sim::DriveTask& task = d.driveTasks.at(0);
  EXPECT_TRUE(task.vehicle == wagon && task.vehicleModel == w.model && task.speed == 14.0f);
  EXPECT_TRUE(task.destination.x == ahead->position.x && task.destination.y == ahead->position.y);
  EXPECT_TRUE(WagonWatch.vehicle == wagon && WagonWatch.checkAt == world().tick + 3000 &&
              w.claimed && w.settings.count("configureA") && w.settings.count("configureB"));
  EXPECT_TRUE(std::ranges::all_of(
      w.draftAnimals, [&](int32_t a) { return Entity(a).settings.count("draftConfigured"); }));
  EXPECT_TRUE(EventBlips.size() == 1 && EventBlips[0].entity == wagon && EventBlips[0].expiry != 0)
      << "a pulse that ends";
  EXPECT_TRUE(Logged("] EVENT Wagon: veh=" + std::to_string(wagon) +
                     " driver=" + std::to_string(driver) +
                     " onRoad=1 draftExpected=6 draftActual=6 driverInSeat=1"));
  EXPECT_STREQ(Notification.text, "Runaway wagon!");
}

TEST_F(WagonTest, WatchdogKicksAStalledWagonOnceThenLetsItGoDriverOrNot) {
  StartRunawayWagon(player());
  const int32_t wagon = SpawnedVehicles.at(0), driver = WagonWatch.driver;
  const uint32_t checkAt = WagonWatch.checkAt;
  Entity(wagon).slowing = 100.0f;
  while (!WagonWatch.kicked) RunFrame();
  EXPECT_TRUE(TickAfter(world().tick - 16, checkAt) && !TickAfter(world().tick - 32, checkAt));
  EXPECT_TRUE(Entity(driver).driveTasks.size() == 2 &&
              sim::CountCalls("SetVehicleForwardSpeed") == 2);
  EXPECT_EQ(Logged("] Wagon kickstart: re-issued drive task (was stopped)\r\n"), 1u);
  RunFor(2984);
  EXPECT_FALSE(Entity(wagon).released) << "a full check later";
  RunFrame();
  EXPECT_TRUE(Entity(wagon).released && Entity(driver).released && SpawnedVehicles.empty() &&
              WagonWatch.vehicle == 0 && SpawnedPeds.at(0) == driver);
  EXPECT_EQ(Logged("] Wagon kickstart: still stopped - released to engine, untracked\r\n"), 1u);

  // No team ever harnessed, no driver: still pushed, kicked and let go.
  Team(2, -1);
  for (const char* name : TownsfolkModels) world().models.erase(sim::HashName(name));
  const uint32_t start = world().tick;
  StartRunawayWagon(player());
  EXPECT_EQ(world().tick - start, 1500u) << "thirty waits of 50 ms";
  EXPECT_EQ(Logged(" driver=0 onRoad=1 draftExpected=2 draftActual=0 driverInSeat=0\r\n"), 1u);
  const int32_t lone = SpawnedVehicles.at(0);
  EXPECT_EQ(Entity(lone).speed, 14.0f);
  Entity(lone).slowing = 1000.0f;
  RunFor(6100);
  EXPECT_TRUE(Logged("Wagon kickstart: re-issued") == 2 && Entity(lone).released &&
              SpawnedVehicles.empty());
}

TEST_F(WagonTest, DiagnosticsFollowTheWagonAndTheDogsOnceASecondWhileLogging) {
  OnlyKind(&SettingsRecord::runawayWagon);
  MenuState.menuOpen = true;
  Press(KeyBindings.selectKey);  // "Trigger Event Now"
  ASSERT_EQ(Logged("DIAG wagon:"), 1u) << "the first in the event's frame";
  Entity(SpawnedVehicles.at(0)).speed = 1.5f;  // running, just: left to run
  std::vector<uint32_t> dumps{world().tick};
  while (world().tick - dumps[0] < 15000) {
    RunFrame();
    if (Logged("DIAG wagon:") > dumps.size()) dumps.push_back(world().tick);
  }
  EXPECT_TRUE(dumps.size() == 12 || dumps.size() == 13) << dumps.size();
  for (size_t i = 1; i < dumps.size(); ++i) EXPECT_NEAR(dumps[i] - dumps[i - 1], 1008.0, 8.0);
  EXPECT_EQ(Logged("] DIAG wagon: speed=1.50 driverInSeat=1 draftActual=2\r\n"), dumps.size() - 1);
  // A later window opened by bounty hunters skips the wagon once it is gone.
  sim::RemoveEntity(SpawnedVehicles.at(0));
  StartBountyHunters(player());
  RunFor(12000);
  EXPECT_EQ(Logged("DIAG wagon:"), dumps.size());

  // A driver thrown off the box and the dogs follow, until the stalled wagon is let go.
  StartRunawayWagon(player());
  Entity(SpawnedVehicles.back()).slowing = 100.0f;
  Entity(WagonWatch.driver).vehicle = 0;
  HunterDogs = {AddPed(), AddPed({0.0f, 30.0f, 10.0f})};
  sim::RemoveEntity(HunterDogs[0]);  // skipped, still counted
  Entity(HunterDogs[1]).fleeing = true;
  RunFor(14000);
  const std::string log = ReadFile(kLogFileName);
  EXPECT_EQ(log.find("DIAG wagon:", log.find("released to engine, untracked")), std::string::npos);
  EXPECT_TRUE(Logged("driverInSeat=1") == dumps.size() + 2 && Logged("driverInSeat=0") >= 4);
  EXPECT_TRUE(Logged("] DIAG dog[1]: inCombat=0 fleeing=1 dead=0 dist=30.0\r\n") >= 12 &&
              Logged("DIAG dog") == Logged("DIAG dog[1]"));
}

}  // namespace
}  // namespace sagebrook::testing

// The runaway wagon: its model, road and destination, the wait for its team,
// its riders, the watchdog that kicks a stalled wagon once, and the
// once-a-second diagnostics that follow it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "diag/log.h"
#include "events/bounty_hunters.h"
#include "events/wagon.h"
#include "fixture.h"
#include "handlers.h"
#include "tracking/diagnostics.h"
#include "world/spawning.h"

namespace sagebrook::testing {
namespace {

constexpr float kDegrees = 0.0174533f;

class WagonTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    for (const char* name : WagonModels) AddWagonModel(name);
    for (const char* name : TownsfolkModels) sim::AddModel(name);
    Ground(1.0f);
    Settings.logging = 1;
    Settings.spawnDistance = 0;  // 40 to 59.98 m
    // A road running north 50 m east of the player, its nodes 3 m apart
    // across it every other one, so no node lies exactly where one aims.
    for (int i = -40; i <= 40; ++i) {
      const float x = 50.0f + static_cast<float>(i & 1) * 3.0f;
      world().roads.push_back({{x, static_cast<float>(i) * 10.0f, 2.0f}, 0.0f});
    }
  }
  void AddWagonModel(const char* name, int32_t harnessAfterMs = 100) {
    sim::AddModel(name, 0, false);
    sim::Model& m = world().models[sim::HashName(name)];
    m.draftAnimals = 2;
    m.harnessAfterMs = harnessAfterMs;
  }
  void HarnessAfter(int32_t ms) {
    for (const char* name : WagonModels) world().models[sim::HashName(name)].harnessAfterMs = ms;
  }
  int32_t player() { return world().playerPed; }
  int32_t Wagon() { return SpawnedVehicles.at(0); }
  size_t Count(const std::string& text) {
    const std::string log = ReadFile(kLogFileName);
    size_t n = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
  }
  bool Logged(const std::string& text) { return Count(text) > 0; }
  // "Trigger Event Now", with only the wagon enabled.
  void TriggerFromMenu() {
    Settings.predatorAttack = Settings.publicHanging = Settings.drunkenFolk = 0;
    Settings.bountyHunters = 0;
    MenuState.menuOpen = true;
    Press(KeyBindings.selectKey);
  }
  std::vector<sim::Call> Calls(const std::string& name) {
    std::vector<sim::Call> calls;
    for (const sim::Call& c : world().trace) {
      if (c.Name() == name) calls.push_back(c);
    }
    return calls;
  }
};

TEST_F(WagonTest, ModelIsPickedEvenlyAmongThoseTheGameHas) {
  world().models.clear();
  world().roads.clear();  // each run ends after the pick
  for (int i : {0, 5, 7}) AddWagonModel(WagonModels[i]);
  AddWagonModel(WagonModels[1]);
  world().models[sim::HashName(WagonModels[1])].inImage = false;
  AddWagonModel(WagonModels[2]);
  world().models[sim::HashName(WagonModels[2])].valid = false;
  for (int i = 0; i < 300; ++i) StartRunawayWagon(player());
  std::map<uint32_t, int> picks;
  for (const sim::Call& c : Calls("RequestModel")) ++picks[c.U32(0)];
  ASSERT_EQ(picks.size(), 3u);
  for (int i : {0, 5, 7}) {
    const int n = picks[sim::HashName(WagonModels[i])];
    EXPECT_TRUE(n > 60 && n < 140) << WagonModels[i] << " picked " << n << " times of 300";
  }
  EXPECT_EQ(Count("EVENT Wagon: no road node near the player - skipped (wagons need a road to "
                  "run)\r\n"),
            300u);

  // None the game has, or the one picked never arrives.
  std::remove(FilePath(kLogFileName).c_str());
  world().models.erase(sim::HashName(WagonModels[0]));
  for (int i : {5, 7}) world().models[sim::HashName(WagonModels[i])].inImage = false;
  StartRunawayWagon(player());
  EXPECT_STREQ(Notification.text, "Runaway wagon: no wagon model available");
  ShowNotification("");
  world().models[sim::HashName(WagonModels[5])] = sim::Model{.framesToStream = -1};
  const uint32_t before = world().tick;
  StartRunawayWagon(player());
  EXPECT_EQ(world().tick - before, 200 * world().frameMs);
  EXPECT_STREQ(Notification.text, "Runaway wagon: no wagon model available");
  EXPECT_EQ(ReadFile(kLogFileName), "");
  EXPECT_EQ(world().entities.size(), 1u);
}

TEST_F(WagonTest, EightDirectionsInTurnFindARoadOnlyToTheNorthEast) {
  Settings.spawnDistance = 2;  // 100 to 139.96 m: each probe reaches only the road ahead of it
  world().roads.clear();
  for (float t : {-20.0f, 0.0f, 20.0f}) {
    const float c = 120.0f * std::cos(45.0f * kDegrees), s = 120.0f * std::sin(45.0f * kDegrees);
    world().roads.push_back({{c - t * 0.7071f, s + t * 0.7071f, 3.0f}, 315.0f});
  }
  std::set<int> starts;
  for (int run = 0; run < 16; ++run) {
    sim::ClearTrace();
    StartRunawayWagon(player());
    std::vector<int> directions;
    std::vector<float> distances;
    for (const sim::Call& c : Calls("GetClosestRoadNodeWithHeading")) {
      if (!directions.empty() && directions.back() == 1) break;  // the destination's search
      const float angle = std::atan2(c.Float(1), c.Float(0)) / kDegrees;
      directions.push_back((static_cast<int>(std::lround(angle / 45.0f)) + 8) % 8);
      distances.push_back(std::hypot(c.Float(0), c.Float(1)));
      EXPECT_EQ(c.Float(2), 10.0f) << "the player's height for every probe";
    }
    ASSERT_EQ(directions.back(), 1);
    for (size_t i = 1; i < directions.size(); ++i) {
      EXPECT_EQ(directions[i], (directions[i - 1] + 1) % 8);
    }
    const auto [shortest, longest] = std::minmax_element(distances.begin(), distances.end());
    EXPECT_LT(*longest - *shortest, 0.01f) << "one distance for the whole search";
    EXPECT_TRUE(*shortest >= 99.99f && *longest <= 139.97f) << *shortest;
    starts.insert(directions[0]);
    const sim::Entity& wagon = Entity(SpawnedVehicles.back());
    EXPECT_EQ(wagon.heading, 315.0f);
    EXPECT_EQ(wagon.position.z, 3.0f);
  }
  EXPECT_GE(starts.size(), 5u);
}

TEST_F(WagonTest, NodeSixtyMetresOrMoreFromItsProbeIsNoRoad) {
  float offset = 0.0f;
  sim::SetHandler("GetClosestRoadNodeWithHeading", [&offset](sim::Call& c, uint64_t* r) {
    sim::WriteVector(c, 3, {c.Float(0), c.Float(1), c.Float(2) + offset});
    *c.Pointer<float>(4) = 90.0f;
    sim::SetInt(r, 1);
  });
  for (float tooFar : {60.0f, 75.0f}) {
    offset = tooFar;
    sim::ClearTrace();
    StartRunawayWagon(player());
    EXPECT_EQ(sim::CountCalls("GetClosestRoadNodeWithHeading"), 8u);
    EXPECT_EQ(sim::CountCalls("CreateVehicle"), 0u);
    EXPECT_STREQ(Notification.text, "No road nearby for a runaway wagon");
  }
  EXPECT_EQ(Count("] EVENT Wagon: no road node near the player - skipped (wagons need a road to "
                  "run)\r\n"),
            2u);
  for (const char* name : WagonModels) {
    const sim::Model& m = world().models[sim::HashName(name)];
    EXPECT_EQ(m.requested, m.releases > 0) << "a model loaded for nothing is let go";
  }

  offset = 59.9f;
  StartRunawayWagon(player());
  ASSERT_EQ(SpawnedVehicles.size(), 1u);
  EXPECT_NEAR(Entity(Wagon()).position.z, 69.9f, 0.001f);

  // The game cannot make the wagon.
  std::remove(FilePath(kLogFileName).c_str());
  sim::SetHandler("CreateVehicle", [](sim::Call&, uint64_t*) {});
  const size_t entities = world().entities.size();
  sim::ClearTrace();
  StartRunawayWagon(player());
  EXPECT_STREQ(Notification.text, "Runaway wagon failed to spawn");
  EXPECT_EQ(world().entities.size(), entities);
  EXPECT_EQ(SpawnedVehicles.size(), 1u);
  EXPECT_EQ(ReadFile(kLogFileName), "");
  EXPECT_EQ(sim::CountCalls("ReleaseModel"), 1u);
}

TEST_F(WagonTest, WagonSetsOffAlongTheRoadWithItsDriverAndTeam) {
  HarnessAfter(420);
  const uint32_t start = world().tick;
  StartRunawayWagon(player());
  EXPECT_EQ(world().tick - start, 450u) << "nine waits of 50 ms until the team is in harness";
  EXPECT_EQ(sim::CountCalls("GetDraftAnimalCounts"), 10u);

  const int32_t wagon = Wagon();
  const sim::Entity& w = Entity(wagon);
  const int32_t driver = WagonWatch.driver;
  ASSERT_NE(driver, 0);
  EXPECT_EQ(w.settings.at("configureA"), 1.0f);
  EXPECT_EQ(w.settings.at("configureB"), 0.0f);
  EXPECT_TRUE(w.claimed);
  EXPECT_EQ(w.seats.at(-1), driver);
  EXPECT_EQ(w.speed, 14.0f);
  for (int32_t horse : w.draftAnimals)
    EXPECT_EQ(Entity(horse).settings.count("draftConfigured"), 1u);
  // Started on a node, its destination the road node nearest 250 m ahead.
  const sim::Vec3 target{w.position.x, w.position.y + 250.0f, w.position.z};
  const sim::RoadNode* ahead = sim::NearestRoadNode(target);
  EXPECT_NE(ahead->position.x, target.x);
  EXPECT_EQ(WagonWatch.destination.x, ahead->position.x);
  EXPECT_EQ(WagonWatch.destination.y, ahead->position.y);

  // The spawning routine's own set-up first, then the driver's, then the push.
  const std::set<std::string> setUp = {"SetPedIntoVehicle",   "SetPedFleeAttributes",
                                       "SetPedIgnoresEvents", "ClaimEntityForScript",
                                       "TaskDriveToCoord",    "SetPedKeepTask"};
  std::vector<std::string> driverCalls;
  std::string afterKeepTask;
  for (const sim::Call& c : world().trace) {
    if (!driverCalls.empty() && driverCalls.back() == "SetPedKeepTask" && afterKeepTask.empty()) {
      afterKeepTask = c.Name() + " " + std::to_string(c.Int(0));
    }
    if (c.Int(0) == driver && setUp.count(c.Name())) driverCalls.push_back(c.Name());
  }
  EXPECT_EQ(driverCalls, (std::vector<std::string>{"SetPedFleeAttributes", "SetPedIntoVehicle",
                                                   "SetPedFleeAttributes", "SetPedIgnoresEvents",
                                                   "ClaimEntityForScript", "TaskDriveToCoord",
                                                   "SetPedKeepTask"}));
  EXPECT_EQ(afterKeepTask, "SetVehicleForwardSpeed " + std::to_string(wagon));
  const sim::Entity& d = Entity(driver);
  ASSERT_EQ(d.driveTasks.size(), 1u);
  EXPECT_EQ(d.driveTasks[0].vehicle, wagon);
  EXPECT_EQ(d.driveTasks[0].destination.y, ahead->position.y);
  EXPECT_EQ(d.driveTasks[0].speed, 14.0f);
  EXPECT_EQ(d.driveTasks[0].style, 786469);
  EXPECT_EQ(d.driveTasks[0].vehicleModel, w.model);
  EXPECT_EQ(d.group, sim::HashName("RE_VICTIM"));
  EXPECT_EQ(d.settings.at("ignoresEvents"), 1.0f);
  EXPECT_TRUE(d.claimed);

  EXPECT_EQ(WagonWatch.vehicle, wagon);
  EXPECT_EQ(WagonWatch.modelHash, w.model);
  EXPECT_EQ(WagonWatch.checkAt, world().tick + 3000);
  EXPECT_FALSE(WagonWatch.kicked);
  EXPECT_EQ(EventBlips.back().entity, wagon);
  EXPECT_NE(EventBlips.back().expiry, 0u);
  EXPECT_EQ(DiagWindow.diagWagon, wagon);
  EXPECT_EQ(DiagWindow.diagDriver, driver);
  EXPECT_EQ(DiagWindow.diagUntil, world().tick + 12000);
  EXPECT_TRUE(Logged("] EVENT Wagon: veh=" + std::to_string(wagon) +
                     " driver=" + std::to_string(driver) +
                     " onRoad=1 draftExpected=2 draftActual=2 driverInSeat=1\r\n"));
  EXPECT_STREQ(Notification.text, "Runaway wagon!");
}

TEST_F(WagonTest, PassengerRidesAlongSometimesAndTheDestinationFallsBackToTheAimedPoint) {
  // Only the roads near the player are known: 250 m ahead there is none.
  sim::SetHandler("GetClosestRoadNodeWithHeading", [](sim::Call& c, uint64_t* r) {
    if (std::hypot(c.Float(0), c.Float(1)) > 100.0f) return;
    sim::WriteVector(c, 3, {52.0f, 7.0f, 2.0f});
    *c.Pointer<float>(4) = 30.0f;
    sim::SetInt(r, 1);
  });
  int withPassenger = 0;
  for (int run = 0; run < 40; ++run) {
    SpawnedPeds.clear();
    StartRunawayWagon(player());
    const sim::Entity& driver = Entity(WagonWatch.driver);
    EXPECT_NEAR(driver.driveTasks.at(0).destination.x, 52.0f - std::sin(30.0f * kDegrees) * 250.0f,
                0.01f);
    EXPECT_NEAR(driver.driveTasks.at(0).destination.y, 7.0f + std::cos(30.0f * kDegrees) * 250.0f,
                0.01f);
    if (SpawnedPeds.size() == 1) continue;
    ++withPassenger;
    ASSERT_EQ(SpawnedPeds.size(), 2u);
    const sim::Entity& p = Entity(SpawnedPeds[1]);
    EXPECT_EQ(Entity(SpawnedVehicles.back()).seats.at(0), SpawnedPeds[1]);
    EXPECT_EQ(p.settings.at("ignoresEvents"), 1.0f);
    EXPECT_TRUE(p.claimed && p.driveTasks.empty());
  }
  EXPECT_TRUE(withPassenger >= 8 && withPassenger <= 24) << withPassenger << " of 40";
}

TEST_F(WagonTest, TeamThatNeverComesCostsThirtyWaitsAndAMissingDriverOnlyTheLogLine) {
  HarnessAfter(-1);
  world().models.erase(sim::HashName(TownsfolkModels[0]));
  world().models.erase(sim::HashName(TownsfolkModels[1]));
  world().models.erase(sim::HashName(TownsfolkModels[2]));
  const uint32_t start = world().tick;
  StartRunawayWagon(player());
  EXPECT_EQ(world().tick - start, 1500u);
  EXPECT_EQ(sim::CountCalls("GetDraftAnimalCounts"), 31u);
  EXPECT_TRUE(Logged(" driver=0 onRoad=1 draftExpected=2 draftActual=0 driverInSeat=0\r\n"));
  const int32_t wagon = Wagon();
  EXPECT_EQ(Entity(wagon).speed, 14.0f) << "pushed without a driver";

  Entity(wagon).slowing = 1000.0f;  // stuck
  RunFor(3000);
  EXPECT_FALSE(WagonWatch.kicked);
  RunFrame();
  EXPECT_TRUE(WagonWatch.kicked);
  EXPECT_EQ(Count("Wagon kickstart: re-issued drive task (was stopped)\r\n"), 1u);
  EXPECT_EQ(sim::CountCalls("SetVehicleForwardSpeed"), 1u) << "no driver, no new orders";
  RunFor(3000);
  EXPECT_TRUE(Entity(wagon).released);
  EXPECT_EQ(WagonWatch.vehicle, 0);
  EXPECT_TRUE(SpawnedVehicles.empty());
}

TEST_F(WagonTest, WagonTakenByTheGameWhileTheEventWaitsEndsIt) {
  HarnessAfter(200);
  int waits = 0;
  sim::SetAfterWait([&] {
    if (++waits == 2) sim::RemoveEntity(SpawnedVehicles.at(0));
  });
  StartRunawayWagon(player());
  EXPECT_EQ(waits, 2);
  EXPECT_TRUE(SpawnedPeds.empty());
  EXPECT_STREQ(Notification.text, "Runaway wagon failed to spawn");

  // Gone while the driver's model streams in: the driver is not seated.
  for (const char* name : TownsfolkModels) world().models[sim::HashName(name)].framesToStream = 5;
  HarnessAfter(0);
  waits = 0;
  SpawnedVehicles.clear();
  StartRunawayWagon(player());
  EXPECT_EQ(SpawnedPeds.size(), 1u);
  EXPECT_EQ(sim::CountCalls("SetPedIntoVehicle"), 0u);
  EXPECT_EQ(WagonWatch.vehicle, 0);
  EXPECT_FALSE(Logged("EVENT Wagon: veh="));
}

TEST_F(WagonTest, WatchdogKicksAStalledWagonOnceThenLetsItGo) {
  StartRunawayWagon(player());
  const int32_t wagon = Wagon(), driver = WagonWatch.driver;
  const uint32_t checkAt = WagonWatch.checkAt;
  Entity(wagon).slowing = 100.0f;
  while (!WagonWatch.kicked) RunFrame();
  EXPECT_GT(world().tick - world().frameMs, checkAt);
  EXPECT_LE(world().tick - 2 * world().frameMs, checkAt) << "the first frame past the check";
  ASSERT_EQ(Entity(driver).driveTasks.size(), 2u);
  EXPECT_EQ(Entity(driver).driveTasks[1].destination.y, Entity(driver).driveTasks[0].destination.y);
  EXPECT_EQ(sim::CountCalls("SetVehicleForwardSpeed"), 2u);
  EXPECT_TRUE(Logged("] Wagon kickstart: re-issued drive task (was stopped)\r\n"));
  EXPECT_FALSE(Entity(wagon).released);

  RunFor(3000 - world().frameMs);
  EXPECT_FALSE(Entity(wagon).released);
  RunFor(2 * world().frameMs);
  EXPECT_TRUE(Entity(wagon).released && Entity(driver).released);
  EXPECT_TRUE(SpawnedVehicles.empty());
  EXPECT_EQ(SpawnedPeds.at(0), driver) << "until the upkeep lets it go";
  EXPECT_EQ(DiagWindow.diagWagon, 0);
  EXPECT_TRUE(Logged("] Wagon kickstart: still stopped - released to engine, untracked\r\n"));
  RunFor(10000);
  EXPECT_EQ(Entity(driver).driveTasks.size(), 2u);
}

TEST_F(WagonTest, WatchdogLeavesRunningSupersededAndDeletedWagonsAlone) {
  // Running at the first check: never kicked, even once it stops.
  StartRunawayWagon(player());
  const int32_t running = Wagon();
  RunFor(3100);
  EXPECT_EQ(WagonWatch.vehicle, 0);
  Entity(running).speed = 0.0f;
  // Two in a row: the first, stalled, is no longer watched.
  StartRunawayWagon(player());
  const int32_t first = SpawnedVehicles.at(1);
  Entity(first).slowing = 100.0f;
  StartRunawayWagon(player());
  const int32_t second = SpawnedVehicles.at(2);
  Entity(second).slowing = 100.0f;
  EXPECT_EQ(WagonWatch.vehicle, second);
  RunFor(6100);
  EXPECT_FALSE(Entity(running).released || Entity(first).released);
  EXPECT_TRUE(Entity(second).released);
  EXPECT_EQ(Count("Wagon kickstart: re-issued"), 1u);
  EXPECT_EQ(SpawnedVehicles, (std::vector<int32_t>{running, first}));

  // Deleted by "Clear Spawned": the next check finds it gone.
  StartRunawayWagon(player());
  ClearSpawned();
  RunFor(3100);
  EXPECT_EQ(WagonWatch.vehicle, 0);
  EXPECT_EQ(Count("Wagon kickstart: re-issued"), 1u);
}

TEST_F(WagonTest, DiagnosticsFollowTheWagonOnceASecondForTwelveSeconds) {
  TriggerFromMenu();
  ASSERT_TRUE(Logged("EVENT Wagon: veh="));
  const int32_t wagon = Wagon();
  std::vector<uint32_t> dumps;
  if (Count("DIAG wagon:") == 1) dumps.push_back(world().tick);
  ASSERT_EQ(dumps.size(), 1u) << "the first in the event's frame";
  while (world().tick - dumps[0] < 15000) {
    RunFrame();
    if (Count("DIAG wagon:") > dumps.size()) dumps.push_back(world().tick);
  }
  EXPECT_TRUE(dumps.size() == 12 || dumps.size() == 13) << dumps.size();
  for (size_t i = 1; i < dumps.size(); ++i) {
    EXPECT_TRUE(dumps[i] - dumps[i - 1] >= 1000 && dumps[i] - dumps[i - 1] <= 1016);
  }
  EXPECT_EQ(Count("] DIAG wagon: speed=14.00 driverInSeat=1 draftActual=2\r\n"), dumps.size());

  // A later bounty-hunter window dumps the old wagon as long as it exists.
  Entity(wagon).speed = 3.5f;
  StartBountyHunters(player());
  RunFrame();
  EXPECT_EQ(Count("] DIAG wagon: speed=3.50 driverInSeat=1 draftActual=2\r\n"), 1u);
  sim::RemoveEntity(wagon);
  RunFor(2000);
  EXPECT_EQ(Count("DIAG wagon:"), dumps.size() + 1);
}

TEST_F(WagonTest, DiagnosticsWaitForLoggingAndStopWithTheWatchdogsRelease) {
  Settings.logging = 0;
  StartRunawayWagon(player());
  const int32_t wagon = Wagon();
  Entity(wagon).slowing = 100.0f;
  Entity(WagonWatch.driver).vehicle = 0;  // thrown off the box
  const int32_t dog = AddPed({0.0f, 30.0f, 10.0f});
  Entity(dog).fleeing = true;
  HunterDogs = {dog};
  RunFor(2000);
  EXPECT_FALSE(std::filesystem::exists(FilePath(kLogFileName)));
  Settings.logging = 1;
  RunFrame();
  EXPECT_EQ(Count("] DIAG wagon: speed=0.00 driverInSeat=0 draftActual=2\r\n"), 1u);
  EXPECT_EQ(Count("] DIAG dog[0]: inCombat=0 fleeing=1 dead=0 dist=30.0\r\n"), 1u);
  RunFor(12000);
  const std::string log = ReadFile(kLogFileName);
  const size_t released = log.find("released to engine, untracked");
  ASSERT_NE(released, std::string::npos);
  EXPECT_EQ(log.find("DIAG wagon:", released), std::string::npos);
  EXPECT_NE(log.find("DIAG dog[0]:", released), std::string::npos);
  EXPECT_TRUE(Count("DIAG dog[0]:") == 10 || Count("DIAG dog[0]:") == 11);
}

}  // namespace
}  // namespace sagebrook::testing

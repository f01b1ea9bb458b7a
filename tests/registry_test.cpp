#include "fixture.h"

namespace sagebrook::testing {
namespace {

using RegistryTest = PluginTest;

TEST_F(RegistryTest, BlipRecordsEndWithTheirEntityOrTheirExpiry) {
  const int32_t dies = AddPed(), vanishes = AddPed(), bare = AddPed(), expires = AddPed(),
                stays = AddPed();
  const uint32_t now = world().tick;
  const int32_t gone = sim::AddBlip(bare, 1);
  world().blips[gone].exists = false;  // the game already took this blip away
  EventBlips = {{sim::AddBlip(dies, 1), 0, dies},
                {sim::AddBlip(vanishes, 1), 0, vanishes},
                {gone, 0, bare},
                {sim::AddBlip(expires, 1), now + 1000, expires},
                {sim::AddBlip(stays, 1), 0, stays}};
  Entity(dies).dead = true;
  sim::RemoveEntity(vanishes);
  sim::RemoveEntity(bare);
  for (const uint32_t at : {now + 1000, now + 1001}) {
    world().tick = at;
    BlipUpkeep();
    ASSERT_EQ(EventBlips.size(), at == now + 1000 ? 2u : 1u) << "the expiry is the last moment";
    EXPECT_EQ(EventBlips.front().entity, at == now + 1000 ? expires : stays);
  }
  EXPECT_EQ(sim::CountCalls("RemoveBlip"), 3u);
}

TEST_F(RegistryTest, PeriodicUpkeepReleasesWhatIsBeyond250MetresAndDropsTheVanished) {
  const int32_t atLimit = AddPed({250.0f, 0.0f, 10.0f}), mover = AddPed(), dead = AddPed(),
                vanished = AddPed(), above = AddPed({0.0f, 0.0f, 260.1f});
  Entity(dead).dead = true;
  sim::RemoveEntity(vanished);
  SpawnedPeds = {atLimit, mover, dead, vanished, above};
  const int32_t cart = sim::AddEntity(sim::EntityKind::Vehicle, {0.0f, -250.1f, 10.0f});
  SpawnedVehicles = {cart};

  RunFrame();  // the first pass runs in the first frame
  EXPECT_EQ(SpawnedPeds, (std::vector<int32_t>{atLimit, mover, dead}));
  EXPECT_TRUE(SpawnedVehicles.empty() && Entity(cart).released);
  EXPECT_TRUE(Entity(above).released) << "the height counts";

  Entity(mover).position = {250.1f, 0.0f, 10.0f};
  RunFor(2600);
  EXPECT_EQ(SpawnedPeds, (std::vector<int32_t>{atLimit, dead})) << "at the next pass";
  EXPECT_TRUE(Entity(mover).released && !Entity(atLimit).released);
}

TEST_F(RegistryTest, StrangersConvertBelow18MetresLeaveBothListsAndAreNeverTouchedAgain) {
  auto greetable = [this](int32_t ped) {
    return Entity(ped).greetableWhenReleased && Entity(ped).promptName == "Stranger";
  };
  const int32_t edge = AddPed({18.0f, 0.0f, 10.0f}), near = AddPed({10.0f, 10.0f, 10.0f}),
                dead = AddPed({0.0f, -5.0f, 10.0f}), gone = AddPed(), other = AddPed(),
                far = AddPed({100.0f, 0.0f, 10.0f});
  Entity(dead).dead = true;
  sim::RemoveEntity(gone);
  SpawnedPeds = {near, edge, near, dead, other, near, far};
  PendingStrangers = {edge, gone, near, dead, far};

  RunFrame();
  EXPECT_EQ(PendingStrangers, (std::vector<int32_t>{edge, far}));
  EXPECT_EQ(SpawnedPeds, (std::vector<int32_t>{edge, other, far}));
  EXPECT_TRUE(greetable(near) && greetable(dead)) << "both in the same frame";
  EXPECT_FALSE(Entity(edge).released) << "at 18 m";

  // Cleared, a converted ped is the game's alone; a pending one is the plugin's to delete.
  ClearSpawned();
  EXPECT_TRUE(Entity(other).deleted && Entity(edge).deleted && PendingStrangers.empty());
  EXPECT_FALSE(Entity(near).deleted || Entity(dead).deleted);
}

TEST_F(RegistryTest, ClearSpawnedDeletesWhatStillExistsAndKeepsHunterDogs) {
  const int32_t ped = AddPed(), vanished = AddPed(), dog = AddPed(),
                cart = sim::AddEntity(sim::EntityKind::Vehicle, {}),
                prop = sim::AddEntity(sim::EntityKind::Object, {}),
                lostProp = sim::AddEntity(sim::EntityKind::Object, {});
  sim::RemoveEntity(vanished);
  sim::RemoveEntity(lostProp);
  const int32_t blip = sim::AddBlip(ped, 1), takenBlip = sim::AddBlip(dog, 1);
  world().blips[takenBlip].exists = false;
  world().ropes[900] = sim::Rope{};
  EventBlips = {{blip, 0, ped}, {takenBlip, 0, dog}};
  SpawnedPeds = {ped, vanished, dog}, HunterDogs = {dog}, SpawnedVehicles = {cart};
  RigObjects = {lostProp, prop};
  RigRopes = {901, 900};  // the game never made rope 901
  PendingStrangers = {ped};

  sim::ClearTrace();
  ClearSpawned();
  EXPECT_EQ(sim::CountCalls("DeleteRope"), 1u) << "the rope the game never made is left alone";
  EXPECT_EQ(sim::CountCalls("RemoveBlip"), 1u);
  for (int32_t e : {ped, dog, cart, prop}) EXPECT_TRUE(Entity(e).deleted) << e;
  EXPECT_TRUE(world().ropes[900].deleted);
  EXPECT_TRUE(EventBlips.empty() && SpawnedPeds.empty() && SpawnedVehicles.empty() &&
              RigObjects.empty() && RigRopes.empty() && PendingStrangers.empty());
  EXPECT_EQ(HunterDogs, (std::vector<int32_t>{dog}));
  EXPECT_STREQ(Notification.text, "Cleared spawned events");
}

TEST_F(RegistryTest, DispatcherDrawsAmongTheEnabledKindsAndReadsTheClockOnlyForDrunks) {
  ProbeEvents();
  for (int32_t hour : {12, 19}) {
    world().clockHour = hour;
    std::vector<int32_t> candidates = {1, 2, 3, 5};
    if (hour == 19) candidates.insert(candidates.begin() + 3, 4);
    for (uint32_t seed = 0; seed < 40; ++seed) {
      sagebrook::srand(seed);
      const auto r = static_cast<size_t>(sagebrook::rand());
      sagebrook::srand(seed);
      DispatchRandomEvent(4242);
      EXPECT_EQ(Started.back().kind, candidates[r % candidates.size()]) << hour << " " << seed;
    }
  }
  EXPECT_EQ(Started.back().playerPed, 4242);

  // With no candidate, no draw.
  Started.clear();
  Settings = {.predatorAttack = 0, .runawayWagon = 0, .publicHanging = 0, .bountyHunters = 0};
  for (int32_t drunks : {1, 0}) {
    Settings.drunkenFolk = drunks;
    world().clockHour = 10;
    sim::ClearTrace();
    sagebrook::srand(3);
    const int32_t firstDraw = sagebrook::rand();
    sagebrook::srand(3);
    DispatchRandomEvent(4242);
    EXPECT_EQ(sim::TraceNames().size(), static_cast<size_t>(drunks)) << "the clock only";
    EXPECT_EQ(sagebrook::rand(), firstDraw);
    EXPECT_STREQ(Notification.text, "No event types are enabled");
  }
  EXPECT_TRUE(Started.empty());
}

}  // namespace
}  // namespace sagebrook::testing

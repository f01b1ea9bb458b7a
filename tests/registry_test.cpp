// The spawned-entity lists and their cleanup passes, and the event dispatcher.
#include "fixture.h"

namespace sagebrook::testing {
namespace {

class RegistryTest : public PluginTest {
 protected:
  int32_t Add(sim::EntityKind kind, sim::Vec3 at = {1.0f, 0.0f, 10.0f}) {
    return sim::AddEntity(kind, at);
  }
  static std::vector<int32_t> BlipEntities() {
    std::vector<int32_t> entities;
    for (const BlipRecord& r : EventBlips) entities.push_back(r.entity);
    return entities;
  }
};

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
  for (uint32_t at : {now, now + 1000}) {
    world().tick = at;
    BlipUpkeep();
    EXPECT_EQ(BlipEntities(), (std::vector<int32_t>{expires, stays}));
  }
  world().tick = now + 1001;
  BlipUpkeep();
  EXPECT_EQ(BlipEntities(), (std::vector<int32_t>{stays}));
  world().tick = now + 2000000000u;
  BlipUpkeep();
  EXPECT_EQ(BlipEntities(), (std::vector<int32_t>{stays})) << "expiry 0 means none";
  EXPECT_EQ(sim::CountCalls("RemoveBlip"), 3u);
}

TEST_F(RegistryTest, PeriodicUpkeepReleasesWhatIsBeyond250MetresAndDropsTheVanished) {
  // The player stands at (0, 0, 10).
  const int32_t atLimit = AddPed({250.0f, 0.0f, 10.0f}), mover = AddPed(), dead = AddPed(),
                vanished = AddPed(), above = AddPed({0.0f, 0.0f, 260.1f});
  Entity(dead).dead = true;
  sim::RemoveEntity(vanished);
  SpawnedPeds = {atLimit, mover, dead, vanished, above};
  const int32_t nearCart = Add(sim::EntityKind::Vehicle, {0.0f, -250.0f, 10.0f}),
                farCart = Add(sim::EntityKind::Vehicle, {0.0f, -250.1f, 10.0f});
  SpawnedVehicles = {farCart, nearCart};

  RunFrame();  // the first pass runs in the first frame
  EXPECT_EQ(SpawnedPeds, (std::vector<int32_t>{atLimit, mover, dead}));
  EXPECT_EQ(SpawnedVehicles, (std::vector<int32_t>{nearCart}));
  EXPECT_TRUE(Entity(above).released) << "the height counts";
  EXPECT_TRUE(Entity(farCart).released);

  Entity(mover).position = {250.1f, 0.0f, 10.0f};
  RunFor(2600);
  EXPECT_EQ(SpawnedPeds, (std::vector<int32_t>{atLimit, dead})) << "at the next pass";
  EXPECT_TRUE(Entity(mover).released);
  EXPECT_FALSE(Entity(atLimit).released);
}

TEST_F(RegistryTest, ClearSpawnedDeletesInOrderAndKeepsHunterDogs) {
  const int32_t ped = AddPed(), vanished = AddPed(), dog = AddPed();
  const int32_t cart = Add(sim::EntityKind::Vehicle), prop = Add(sim::EntityKind::Object),
                lostProp = Add(sim::EntityKind::Object);
  sim::RemoveEntity(vanished);
  sim::RemoveEntity(lostProp);
  const int32_t blip = sim::AddBlip(ped, 1), takenBlip = sim::AddBlip(dog, 1);
  world().blips[takenBlip].exists = false;
  const int32_t rope = 900, unknownRope = 901;
  world().ropes[rope] = sim::Rope{};
  EventBlips = {{blip, 0, ped}, {takenBlip, 0, dog}};
  SpawnedPeds = {ped, vanished, dog};
  HunterDogs = {dog};
  SpawnedVehicles = {cart};
  RigObjects = {lostProp, prop};
  RigRopes = {rope, unknownRope};
  PendingStrangers = {ped};

  sim::ClearTrace();
  ClearSpawned();
  std::vector<std::string> acts = sim::TraceNames();  // the game fails a missing existence check
  std::erase_if(acts,
                [](const std::string& n) { return n.starts_with("Does") || n == "EntityExists"; });
  EXPECT_EQ(acts, (std::vector<std::string>{"RemoveBlip", "DeletePed", "DeletePed", "DeleteVehicle",
                                            "DeleteObject", "DeleteRope"}));
  for (int32_t e : {ped, dog, cart, prop}) EXPECT_TRUE(Entity(e).deleted) << e;
  EXPECT_TRUE(world().ropes[rope].deleted);
  EXPECT_TRUE(EventBlips.empty());
  for (auto* list : {&SpawnedPeds, &SpawnedVehicles, &RigObjects, &RigRopes, &PendingStrangers}) {
    EXPECT_TRUE(list->empty());
  }
  EXPECT_EQ(HunterDogs, (std::vector<int32_t>{dog}));
  EXPECT_STREQ(Notification.text, "Cleared spawned events");
}

TEST_F(RegistryTest, RemoveEventBlipsTakesEveryRecordOfOneEntity) {
  const int32_t a = AddPed(), b = AddPed();
  const int32_t a1 = sim::AddBlip(a, 1), a2 = sim::AddBlip(a, 2), aGone = sim::AddBlip(a, 3);
  world().blips[aGone].exists = false;
  EventBlips = {{a1, 0, a}, {sim::AddBlip(b, 1), 0, b}, {a2, 5, a}, {aGone, 0, a}, {0, 0, 0}};
  RemoveEventBlips(0);
  EXPECT_EQ(EventBlips.size(), 5u) << "entity 0 is no entity";
  RemoveEventBlips(a);
  EXPECT_EQ(BlipEntities(), (std::vector<int32_t>{b, 0}));
  EXPECT_FALSE(world().blips[a1].exists || world().blips[a2].exists);
}

TEST(RegistryLists, RemoveFirstAndRemoveEveryKeepTheOrderOfTheRest) {
  std::vector<int32_t> list{7, 1, 7, 2, 7};
  RemoveFirst(list, 7);
  EXPECT_EQ(list, (std::vector<int32_t>{1, 7, 2, 7}));
  RemoveEvery(list, 7);
  EXPECT_EQ(list, (std::vector<int32_t>{1, 2}));
}

using DispatcherTest = PluginTest;
constexpr int32_t kPed = 4242;

TEST_F(DispatcherTest, DrunkenFolkIsACandidateFrom19To5AndTheDrawPicksByIndex) {
  ProbeEvents();
  for (int32_t hour : {5, 6, 18, 19}) {
    world().clockHour = hour;
    std::vector<int32_t> candidates = {1, 2, 3, 5};
    if (hour == 5 || hour == 19) candidates.insert(candidates.begin() + 3, 4);
    for (uint32_t seed = 0; seed < 40; ++seed) {
      sagebrook::srand(seed);
      const auto r = static_cast<size_t>(sagebrook::rand());
      sagebrook::srand(seed);
      DispatchRandomEvent(kPed);
      EXPECT_EQ(Started.back().kind, candidates[r % candidates.size()]) << hour << " " << seed;
    }
  }
  ASSERT_EQ(Started.size(), 160u);
  for (const StartedEvent& e : Started) EXPECT_EQ(e.playerPed, kPed);
}

TEST_F(DispatcherTest, ReadsTheClockOnlyForDrunkenFolkAndAnEmptyListOnlyNotifies) {
  ProbeEvents();
  world().clockHour = 10;  // Drunken Folk is on, but only a night event
  Settings = {.predatorAttack = 0, .runawayWagon = 0, .publicHanging = 0, .bountyHunters = 0};
  DispatchRandomEvent(kPed);
  EXPECT_EQ(sim::CountCalls("GetClockHour"), 1u);
  EXPECT_STREQ(Notification.text, "No event types are enabled");

  Settings.drunkenFolk = 0;
  sim::ClearTrace();
  sagebrook::srand(3);
  const int32_t firstDraw = sagebrook::rand();
  sagebrook::srand(3);
  DispatchRandomEvent(kPed);
  EXPECT_TRUE(sim::TraceNames().empty()) << "not even the clock";
  EXPECT_EQ(sagebrook::rand(), firstDraw) << "no draw without candidates";
  EXPECT_TRUE(Started.empty());
}

}  // namespace
}  // namespace sagebrook::testing
